#pragma once
// The settings file "Vora.ini" beside the program, section "VORA".
#include <filesystem>
#include <string>
#include <string_view>

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

}  // namespace tcese
