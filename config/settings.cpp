#include "config/settings.h"

#include <ini.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <system_error>
#include <vector>

#include "config/encoding.h"
#include "config/syserror.h"

namespace tcese {
namespace {

namespace fs = std::filesystem;

// inih keeps each line in a fixed buffer of INI_MAX_LINE bytes and would cut a
// longer line in two; such a line reaches inih as "key=" + marker + index and
// its value is taken from `longValues`.
constexpr std::size_t kLongLine = INI_MAX_LINE / 2;
constexpr char kLongMarker = '\x01';

struct Parse {
    Settings* settings;
    std::vector<std::string> longValues;
    std::array<bool, 7> seen{};
};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool validUtf8(std::string_view s) {
    try {
        std::size_t i = 0;
        while (i < s.size()) utf8Next(s, i);
        return true;
    } catch (const EncodingError&) {
        return false;
    }
}

// What inih does to a value: cut at an inline comment (";" after a blank), trim.
std::string_view inihValue(std::string_view raw) {
    for (std::size_t i = 1; i < raw.size(); ++i)
        if (raw[i] == ';' && isBlank(raw[i - 1])) {
            raw = raw.substr(0, i);
            break;
        }
    return trim(raw);
}

// Leading blanks are dropped (the Windows profile reader ignores them, and inih
// would take an indented line as the continuation of the previous key); long
// key lines are set aside.
std::string prepare(std::string_view text, std::vector<std::string>& longValues) {
    std::string out;
    out.reserve(text.size() + 16);
    std::size_t pos = 0;
    while (pos <= text.size()) {
        // A lone CR ends a line too: no value holds a line break.
        std::size_t eol = text.find_first_of("\r\n", pos);
        if (eol == std::string_view::npos) eol = text.size();
        std::string_view line = text.substr(pos, eol - pos);
        pos = eol + 1;
        while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
        while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
        if (line.size() > kLongLine && line.front() != '[' && line.front() != ';' &&
            line.front() != '#') {
            const std::size_t delim = line.find_first_of("=:");
            // A key that long is none of ours.
            if (delim == std::string_view::npos || delim > kLongLine) continue;
            out.append(line.substr(0, delim + 1));
            out.push_back(kLongMarker);
            out.append(std::to_string(longValues.size()));
            longValues.emplace_back(inihValue(line.substr(delim + 1)));
        } else if (line.size() > kLongLine) {
            continue;  // an overlong section line or comment
        } else {
            out.append(line);
        }
        out.push_back('\n');
    }
    return out;
}

// The Windows profile reader drops one pair of matching quotes around a value.
std::string unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

int onValue(void* user, const char* section, const char* name, const char* value) {
    auto* p = static_cast<Parse*>(user);
    if (!iequals(trim(section), "VORA")) return 1;

    std::string* const fields[] = {
        &p->settings->Ano,
        &p->settings->Servidor,
        &p->settings->ServidorTABDEF,
        &p->settings->SO_Servidor,
        &p->settings->Caminho_Base_Dados,
        &p->settings->Diretorio_Servidor,
        &p->settings->Caminho_Base_Dados_TABDEF,
    };
    static constexpr std::string_view keys[] = {
        "Ano",
        "Servidor",
        "ServidorTABDEF",
        "SO_Servidor",
        "Caminho_Base_Dados",
        "Diretorio_Servidor",
        "Caminho_Base_Dados_TABDEF",
    };
    for (std::size_t k = 0; k < std::size(keys); ++k) {
        if (!iequals(name, keys[k])) continue;
        if (p->seen[k]) return 1;  // the first occurrence counts, as on Windows
        p->seen[k] = true;
        std::string_view v = value;
        if (!v.empty() && v.front() == kLongMarker) {
            std::size_t index = 0;
            const auto [end, ec] = std::from_chars(v.data() + 1, v.data() + v.size(), index);
            if (ec == std::errc() && end == v.data() + v.size() && index < p->longValues.size())
                v = p->longValues[index];
        }
        *fields[k] = unquote(v);
        return 1;
    }
    return 1;
}

// The whole file; false when it cannot be read (missing, a folder, no permission).
bool readAll(const fs::path& file, std::string& bytes) {
    std::FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) return false;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

}  // namespace

Settings Settings::load(const std::filesystem::path& iniFile) {
    std::string bytes;
    if (!readAll(iniFile, bytes)) return Settings{};
    return parse(bytes);
}

Settings Settings::parse(std::string_view bytes) {
    Settings s;
    std::string_view raw = bytes;
    if (raw.starts_with("\xEF\xBB\xBF")) raw.remove_prefix(3);
    // The product writes Windows-1252; a file saved as UTF-8 on this platform is
    // kept as it is. Windows-1252 text with accents is practically never valid UTF-8.
    std::string text = validUtf8(raw) ? std::string(raw) : cp1252ToUtf8(raw);
    // A NUL byte carries nothing; left in, it would end the text for the parser
    // and hide every line after it.
    std::erase(text, '\0');

    Parse p{&s, {}, {}};
    const std::string prepared = prepare(text, p.longValues);
    // Lines that are not "key=value" are skipped; the keys read still count.
    ini_parse_string(prepared.c_str(), onValue, &p);
    return s;
}

std::filesystem::path programDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !exe.empty()) return exe.parent_path();
    const fs::path cwd = fs::current_path(ec);
    return ec ? fs::path(".") : cwd;
}

std::filesystem::path findSettingsFile(const std::filesystem::path& dir) {
    const fs::path exact = dir / "Vora.ini";
    std::error_code ec;
    if (fs::is_regular_file(exact, ec)) return exact;

    std::vector<fs::path> found;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path name = it->path().filename();
        std::error_code fec;
        if (iequals(name.string(), "vora.ini") && fs::is_regular_file(it->path(), fec))
            found.push_back(it->path());
    }
    if (found.empty()) return exact;
    // Several spellings side by side: take one the same way every time.
    return *std::min_element(found.begin(), found.end());
}

std::filesystem::path defaultSettingsFile() { return findSettingsFile(programDir()); }

}  // namespace tcese

namespace tcese {

namespace {

fs::path homeDir() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return {};
}

}  // namespace

SettingsPlaces SettingsPlaces::standard() {
    SettingsPlaces p;
    p.programDir = tcese::programDir();
    // A relative XDG_CONFIG_HOME is to be ignored.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') {
        p.userDir = fs::path(xdg) / "tcese";
    } else if (const fs::path home = homeDir(); !home.empty()) {
        p.userDir = home / ".config" / "tcese";
    }
    p.systemDir = "/etc/tcese";
    return p;
}

std::vector<std::filesystem::path> SettingsPlaces::folders() const {
    std::vector<fs::path> out;
    for (const fs::path& d : {programDir, userDir, systemDir})
        if (!d.empty()) out.push_back(d);
    return out;
}

std::filesystem::path locateSettings(const std::filesystem::path& chosen, const std::string& howToChoose,
                                     const SettingsPlaces& places) {
    std::error_code ec;
    if (!chosen.empty()) {
        const std::string name = chosen.string();
        const auto st = fs::status(chosen, ec);
        if (fs::is_directory(st))
            throw SettingsError("O arquivo de configuração indicado, " + name +
                                ", é uma pasta. Indique o próprio arquivo (por exemplo " +
                                (chosen / "Vora.ini").string() + ").");
        if (!fs::exists(st))
            throw SettingsError("O arquivo de configuração indicado, " + name +
                                ", não existe. Verifique o nome e a pasta.");
        if (std::FILE* f = std::fopen(chosen.c_str(), "rb")) {
            std::fclose(f);
        } else {
            throw SettingsError("Não é possível ler o arquivo de configuração " + name + ": " + systemReason(errno) +
                                ".");
        }
        return chosen;
    }
    std::string looked;
    for (const fs::path& dir : places.folders()) {
        const fs::path f = findSettingsFile(dir);
        if (fs::is_regular_file(f, ec)) return f;
        looked += "\n  " + f.string();
    }
    throw SettingsError("Arquivo de configuração Vora.ini não encontrado. Procurado, nesta ordem, em:" + looked +
                        "\n" + howToChoose);
}

}  // namespace tcese
