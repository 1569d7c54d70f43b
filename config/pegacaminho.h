#pragma once
// Installation folders by code: "B" database folder, "D" the year's data folder,
// "TD" the table folder, and the others of the product.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "config/settings.h"

namespace tcese {

class PathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// This workstation's separator. The server-side separator follows SO_Servidor.
inline constexpr char kLocalSep = '/';

// The path for `code` from the settings given. Creates the folder that some codes
// need (one level); throws PathError "Não é possível criar o diretório: " + path
// when it cannot. "DA"/"BA" with a non-numeric year or offset throw PathError too.
std::string PegaCaminho(std::string_view code, const Settings& settings);

// Reads the settings file again on every call, as the product does.
std::string PegaCaminho(std::string_view code, const std::filesystem::path& iniFile);

// The database the connection opens: PegaCaminho("B") + "VORA" + Ano + ".FDB".
std::string ConexaoBeforeConnect(const Settings& settings);

}  // namespace tcese
