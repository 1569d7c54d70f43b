#include "config/pegacaminho.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <system_error>

#include "config/encoding.h"

namespace tcese {
namespace {

namespace fs = std::filesystem;

const std::string kL(1, kLocalSep);

bool endsWith(std::string_view s, std::string_view tail) { return s.ends_with(tail); }

// Everything after the first "VORA_8" (any case) is dropped; the marker is
// written back in upper case.
std::string cut(const std::string& path) {
    const std::string upper = asciiUpper(path);
    const std::size_t at = upper.find("VORA_8");
    if (at == std::string::npos) return path;
    return path.substr(0, at) + "VORA_8";
}

// A 32-bit whole number: optional sign, then digits only.
std::optional<long long> wholeNumber(std::string_view s) {
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.front() == '-' || s.front() == '+') return std::nullopt;
    long long n = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc() || end != s.data() + s.size() || n > 2147483647LL) return std::nullopt;
    return negative ? -n : n;
}

// "ARQ" + (Ano - n) for "DA"/"BA" codes; `rest` is what follows the two letters.
std::string yearsBackFolder(const Settings& s, std::string_view code, std::string_view rest) {
    long long back = 1;
    if (!rest.empty()) {
        const auto n = wholeNumber(rest);
        if (!n)
            throw PathError("Código de caminho inválido: '" + std::string(code) + "' ('" +
                            std::string(rest) + "' não é um número inteiro de anos)");
        back = *n;
    }
    const auto year = wholeNumber(s.Ano);
    if (!year)
        throw PathError("Ano inválido na seção VORA do arquivo de configuração: '" + s.Ano +
                        "' não é um número inteiro");
    return "ARQ" + std::to_string(*year - back);
}

// One level only: the parent must exist.
void createFolder(const std::string& path) {
    std::error_code ec;
    fs::create_directory(fs::path(path), ec);
    std::error_code dec;
    if (ec || !fs::is_directory(fs::path(path), dec))
        throw PathError("Não é possível criar o diretório: " + path);
}

std::string serverMode(const Settings& s, const std::string& code) {
    const std::string sep = s.SO_Servidor == "LINUX" ? "/" : "\\";
    const std::string& dir = s.Diretorio_Servidor;  // this workstation's view
    const std::string& base = s.Caminho_Base_Dados; // the database server's view
    const std::string year = "ARQ" + s.Ano;

    if (code == "D") return dir + year + kL;
    if (code == "B") return s.Servidor + ":" + base + year + sep;
    if (code.starts_with("DA")) return dir + yearsBackFolder(s, code, code.substr(2)) + kL;
    if (code.starts_with("BA"))
        return s.Servidor + ":" + base + yearsBackFolder(s, code, code.substr(2)) + sep;
    if (code == "TD") {
        const std::string cutDir = cut(dir);
        return cutDir + (endsWith(cutDir, kL) ? "" : kL) + "TABDEF" + kL;
    }
    if (code == "TB") {
        const std::string tableBase =
            s.Caminho_Base_Dados_TABDEF.empty() ? cut(base) : s.Caminho_Base_Dados_TABDEF;
        const std::string tableServer = s.ServidorTABDEF.empty() ? s.Servidor : s.ServidorTABDEF;
        // A base already ending with "\" or with the server's own separator gets none more.
        const bool ended = endsWith(tableBase, "\\") || endsWith(tableBase, sep);
        return tableServer + ":" + tableBase + (ended ? "" : sep) + "TABDEF" + sep;
    }
    if (code == "BK") return base + year + sep;
    if (code == "BKAD" || code == "BKAB") {
        const std::string local = dir + year + kL + "BCK" + kL;
        createFolder(local);
        return code == "BKAD" ? local : base + year + sep + "BCK" + sep;
    }
    if (code == "AP") return dir;
    if (code == "TPD" || code == "TPB") {
        const std::string local = dir + year + kL + "TEMP" + kL;
        createFolder(local);
        return code == "TPD" ? local : base + year + sep + "TEMP" + sep;
    }
    if (code == "DE" || code == "DI" || code == "RTM") {
        const std::string local = code == "RTM" ? dir + "RTM" + kL
                                  : dir + year + kL + (code == "DE" ? "EXPORTA" : "IMPORTA") + kL;
        createFolder(local);
        return local;
    }
    if (code == "EXE") {
        const std::string cutDir = cut(dir);
        return cutDir + (endsWith(cutDir, kL) ? "" : kL);
    }
    return {};
}

std::string localMode(const Settings& s, const std::string& code) {
    const std::string& base = s.Caminho_Base_Dados;
    const std::string year = "ARQ" + s.Ano;
    const std::string cutBase = cut(base);

    if (code == "B" || code == "D" || code == "BK") return base + year + kL;
    if (code.starts_with("BA") || code.starts_with("DA"))
        return base + yearsBackFolder(s, code, code.substr(2)) + kL;
    if (code == "AP") return base;

    std::string folder;
    if (code == "BKAD" || code == "BKAB") folder = base + year + kL + "BCK" + kL;
    else if (code == "TPB" || code == "TPD") folder = base + year + kL + "TEMP" + kL;
    else if (code == "DE") folder = base + year + kL + "EXPORTA" + kL;
    else if (code == "DI") folder = base + year + kL + "IMPORTA" + kL;
    else if (code == "RTM") folder = base + "RTM" + kL;
    if (!folder.empty()) {
        createFolder(folder);
        return folder;
    }

    if (code == "EXE") return cutBase + (endsWith(cutBase, kL) ? "" : kL);
    // Every other code, "TD" and "TB" among them: the table folder.
    return cutBase + (endsWith(cutBase, kL) ? "" : kL) + "TABDEF" + kL;
}

}  // namespace

std::string PegaCaminho(std::string_view code, const Settings& settings) {
    const std::string c = asciiUpper(code);
    return settings.Servidor.empty() ? localMode(settings, c) : serverMode(settings, c);
}

std::string PegaCaminho(std::string_view code, const std::filesystem::path& iniFile) {
    return PegaCaminho(code, Settings::load(iniFile));
}

std::string ConexaoBeforeConnect(const Settings& settings) {
    return PegaCaminho("B", settings) + "VORA" + settings.Ano + ".FDB";
}

}  // namespace tcese
