#pragma once
// Dates and times as the program shows them: the process-wide short date
// format is "dd/mm/yyyy", the long time format "hh:nn:ss".
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tcese {

using Date = std::chrono::year_month_day;

struct TimeOfDay {
    int ms = 0;  // milliseconds since midnight
    static TimeOfDay of(int h, int m, int s, int millis = 0) { return {((h * 60 + m) * 60 + s) * 1000 + millis}; }
    int hour() const { return ms / 3600000; }
    int minute() const { return ms / 60000 % 60; }
    int second() const { return ms / 1000 % 60; }
    int millisecond() const { return ms % 1000; }
    friend bool operator==(TimeOfDay, TimeOfDay) = default;
};

struct DateTime {
    Date date;
    TimeOfDay time;
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

Date makeDate(int y, int m, int d);

std::string dateToText(const Date& d);              // "31/01/2007"
std::string timeToText(TimeOfDay t);                // "10:22:33"
std::string dateTimeToText(const DateTime& dt);     // "31/01/2007 10:22:33", date alone at midnight
std::optional<Date> parseDateText(std::string_view s);  // "dd/mm/yyyy" (day and month may have one digit)

Date today();
TimeOfDay timeNow();
DateTime now();

}  // namespace tcese
