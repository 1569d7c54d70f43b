#pragma once
// The settings file "Vora.ini", section "VORA", and where it is looked for.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tcese {

struct Settings {
    std::string Ano;
    std::string Servidor;
    std::string ServidorTABDEF;
    std::string SO_Servidor = "WINDOWS";
    std::string Caminho_Base_Dados;
    std::string Diretorio_Servidor;
    std::string Caminho_Base_Dados_TABDEF;

    // Reads the file; a missing or unreadable file, section or key keeps the default.
    // Section and key names are matched without regard to case; the first occurrence
    // of a key counts and one pair of quotes around a value is dropped. The file is
    // Windows-1252, or UTF-8 (with or without BOM) when its bytes are valid UTF-8.
    static Settings load(const std::filesystem::path& iniFile);
    // The same from the file's bytes.
    static Settings parse(std::string_view bytes);
};

// The folder of the running program.
std::filesystem::path programDir();

// The settings file in `dir` whose name is "Vora.ini" in any case; `dir`/"Vora.ini"
// when there is none.
std::filesystem::path findSettingsFile(const std::filesystem::path& dir);

// The settings file beside the program.
std::filesystem::path defaultSettingsFile();

// A settings file that cannot be used; the message says what is wrong, where the
// file was looked for and what to do.
class SettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The folders where a settings file is looked for when none is chosen, in order:
// beside the program (a copy installation), the user's ($XDG_CONFIG_HOME/tcese,
// default ~/.config/tcese), the system's (/etc/tcese).
struct SettingsPlaces {
    std::filesystem::path programDir;
    std::filesystem::path userDir;
    std::filesystem::path systemDir;
    static SettingsPlaces standard();
    std::vector<std::filesystem::path> folders() const;
};

// The settings file to use: `chosen` (--ini or TCESE_INI) when not empty, which must
// be a readable file; else the first "Vora.ini" (any case) of `places`. Throws
// SettingsError naming every place looked at; `howToChoose` ends that message.
std::filesystem::path locateSettings(const std::filesystem::path& chosen, const std::string& howToChoose,
                                     const SettingsPlaces& places = SettingsPlaces::standard());

}  // namespace tcese
