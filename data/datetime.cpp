#include "data/datetime.h"

#include <cstdio>
#include <ctime>

namespace tcese {

Date makeDate(int y, int m, int d) {
    return Date{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)}, std::chrono::day{static_cast<unsigned>(d)}};
}

std::string dateToText(const Date& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04d", static_cast<unsigned>(d.day()), static_cast<unsigned>(d.month()),
                  static_cast<int>(d.year()));
    return buf;
}

std::string timeToText(TimeOfDay t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour(), t.minute(), t.second());
    return buf;
}

std::string dateTimeToText(const DateTime& dt) {
    if (dt.time.ms == 0) return dateToText(dt.date);
    return dateToText(dt.date) + " " + timeToText(dt.time);
}

std::optional<Date> parseDateText(std::string_view s) {
    int parts[3] = {0, 0, 0};
    int idx = 0, digits = 0;
    for (char c : s) {
        if (c >= '0' && c <= '9') {
            parts[idx] = parts[idx] * 10 + (c - '0');
            if (++digits > 4) return std::nullopt;
        } else if (c == '/' && idx < 2 && digits > 0) {
            ++idx;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (idx != 2 || digits == 0) return std::nullopt;
    Date d = makeDate(parts[2], parts[1], parts[0]);
    if (!d.ok()) return std::nullopt;
    return d;
}

namespace {
std::tm localNow(int* millis) {
    const auto tp = std::chrono::system_clock::now();
    const auto secs = std::chrono::time_point_cast<std::chrono::seconds>(tp);
    if (millis) *millis = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(tp - secs).count());
    std::time_t t = std::chrono::system_clock::to_time_t(secs);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}
}  // namespace

Date today() {
    std::tm tm = localNow(nullptr);
    return makeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

TimeOfDay timeNow() {
    int ms = 0;
    std::tm tm = localNow(&ms);
    return TimeOfDay::of(tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
}

DateTime now() {
    int ms = 0;
    std::tm tm = localNow(&ms);
    return {makeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday), TimeOfDay::of(tm.tm_hour, tm.tm_min, tm.tm_sec, ms)};
}

}  // namespace tcese
