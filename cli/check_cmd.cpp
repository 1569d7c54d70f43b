#include "cli/check_cmd.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <span>

#include "engine/filegenerator.h"
#include "generators/catalogue.h"

namespace tcese {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Windows-1252 leaves these five bytes without a character.
bool undefinedInCp1252(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class Checker {
public:
    int findings = 0;

    void problem(const fs::path& file, long line, const std::string& text) {
        ++findings;
        std::cout << file.string() << ":" << line << ": " << text << "\n";
    }

    // `annual`: the file belongs to the budget set (Anual/, month 14).
    void checkFile(const fs::path& path, bool annual) {
        const auto steps = annual ? annualCatalogue() : monthlyCatalogue();
        const std::string name = lower(path.filename().string());
        const CatalogueStep* step = nullptr;
        for (const CatalogueStep& s : steps) {
            if (lower(std::string(s.fileName) + ".txt") == name) step = &s;
        }
        if (!step) {
            problem(path, 0, std::string("arquivo desconhecido no conjunto ") + (annual ? "anual" : "mensal"));
            return;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            problem(path, 0, "não foi possível ler o arquivo");
            return;
        }
        const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (data.empty()) {
            problem(path, 0, "arquivo vazio: faltam o registro de cabeçalho e o de fechamento");
            return;
        }
        std::vector<std::string> lines;
        std::size_t start = 0;
        long lineNo = 0;
        while (start < data.size()) {
            ++lineNo;
            std::size_t nl = data.find('\n', start);
            std::string line;
            if (nl == std::string::npos) {
                line = data.substr(start);
                problem(path, lineNo, "a última linha não termina com CR LF");
                start = data.size();
            } else {
                line = data.substr(start, nl - start);
                start = nl + 1;
                if (line.empty() || line.back() != '\r') {
                    problem(path, lineNo, "linha terminada só com LF (esperado CR LF)");
                } else {
                    line.pop_back();
                }
            }
            for (std::size_t i = 0; i < line.size(); ++i) {
                const auto c = static_cast<unsigned char>(line[i]);
                char code[8];
                std::snprintf(code, sizeof code, "0x%02X", c);
                if (c < 0x20 || c == 0x7F) {
                    problem(path, lineNo, "caractere de controle " + std::string(code) + " na coluna " +
                                              std::to_string(i + 1));
                } else if (undefinedInCp1252(c)) {
                    problem(path, lineNo, "byte " + std::string(code) + " na coluna " + std::to_string(i + 1) +
                                              " não é um caractere Windows-1252");
                }
            }
            lines.push_back(std::move(line));
        }

        // Header.
        const std::string& h = lines.front();
        const bool headerForm = h.size() == 7 && h[0] == '1' && allDigits(std::string_view(h).substr(1));
        if (!headerForm) {
            problem(path, 1, "cabeçalho inválido \"" + h + "\" (esperado \"1\" + ano com 4 dígitos + mês com 2 dígitos)");
        } else {
            const int month = std::stoi(h.substr(5, 2));
            if (annual && month != 14) {
                problem(path, 1, "cabeçalho do mês " + h.substr(5, 2) + " num arquivo anual (esperado 14)");
            } else if (!annual && (month < 1 || month > 12)) {
                problem(path, 1, "cabeçalho do mês " + h.substr(5, 2) + " num arquivo mensal (esperado 01 a 12)");
            }
        }

        // Trailer.
        const std::size_t last = lines.size() - 1;
        const std::string& t = lines[last];
        const bool hasTrailer = last > 0 && !t.empty() && t[0] == '3';
        if (!hasTrailer) {
            problem(path, static_cast<long>(lines.size()), "falta o registro de fechamento (\"3\" + quantidade)");
        }

        // Details.
        const int expected = step->layout ? step->layout->recordLength() : 0;
        // A record may end before a last field written as it is (CertDisp's ESPECIF
        // exists only for certificates of type "99").
        int shorter = expected;
        if (step->layout && !step->layout->fields.empty() && step->layout->fields.back().kind.empty())
            shorter = expected - step->layout->fields.back().width;
        long details = 0;
        const std::size_t end = hasTrailer ? last : lines.size();
        for (std::size_t i = 1; i < end; ++i) {
            const std::string& d = lines[i];
            const long n = static_cast<long>(i + 1);
            if (d.empty() || d[0] != '2') {
                problem(path, n, "registro inesperado (os registros de detalhe começam com \"2\")");
                continue;
            }
            ++details;
            if (!step->layout) {
                problem(path, n, "registro de detalhe num arquivo que não tem registros");
            } else if (static_cast<int>(d.size()) != expected && static_cast<int>(d.size()) != shorter) {
                problem(path, n, "registro com " + std::to_string(d.size()) + " caracteres (esperado " +
                                     std::to_string(expected) + ")");
            }
        }

        if (hasTrailer) {
            const long n = static_cast<long>(lines.size());
            if (t.size() != 7 || !allDigits(std::string_view(t).substr(1))) {
                problem(path, n, "fechamento inválido \"" + t + "\" (esperado \"3\" + quantidade com 6 dígitos)");
            } else if (std::stol(t.substr(1)) != details) {
                problem(path, n, "o fechamento informa " + std::to_string(std::stol(t.substr(1))) +
                                     " registros, mas o arquivo tem " + std::to_string(details));
            }
        }
    }

    void checkSet(const fs::path& dir, bool annual) {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(dir)) {
            if (e.is_regular_file()) files.push_back(e.path());
        }
        std::sort(files.begin(), files.end());
        for (const auto& f : files) checkFile(f, annual);
        // Every file of the catalogue is expected in the set.
        for (const CatalogueStep& s : annual ? annualCatalogue() : monthlyCatalogue()) {
            const std::string want = lower(std::string(s.fileName) + ".txt");
            const bool present = std::any_of(files.begin(), files.end(), [&](const fs::path& f) {
                return lower(f.filename().string()) == want;
            });
            if (!present) problem(dir / (std::string(s.fileName) + ".txt"), 0, "arquivo ausente");
        }
    }
};

bool isSetFolder(const fs::path& p, bool& annual) {
    const std::string n = lower(p.filename().string());
    annual = n == "anual";
    return (annual || n == "mensal") && fs::is_directory(p);
}

// The Anual/ and Mensal/ folders under `dir` (the folder itself, its children and,
// for a batch's <EE>-<MM>/ folders, their children).
void findSets(const fs::path& dir, int depth, std::vector<std::pair<fs::path, bool>>& out) {
    bool annual = false;
    if (isSetFolder(dir, annual)) {
        out.emplace_back(dir, annual);
        return;
    }
    if (depth == 0) return;
    std::vector<fs::path> children;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) {
        if (e.is_directory()) children.push_back(e.path());
    }
    std::sort(children.begin(), children.end());
    for (const auto& c : children) findSets(c, depth - 1, out);
}

}  // namespace

CheckCommand::CheckCommand(CLI::App& app) {
    sub_ = app.add_subcommand("check", "verifica arquivos gerados como o importador do TCE/SE os lê");
    sub_->footer(
        "Verifica os conjuntos Anual/ e Mensal/ dentro de PASTA (ou os arquivos indicados): nomes do catálogo,\n"
        "cabeçalho, tamanho de cada registro, fechamento e sua quantidade, fim de linha CR LF e caracteres\n"
        "Windows-1252. Mostra \"arquivo:linha: problema\".\n"
        "Saída: 0 tudo certo; 1 problemas encontrados; 2 nenhum conjunto de arquivos em PASTA.");
    sub_->add_option("paths", paths_, "PASTA com Anual/ e Mensal/, ou arquivos .txt")->required();
}

bool CheckCommand::parsed() const { return sub_->parsed(); }

int CheckCommand::run() const {
    Checker checker;
    std::vector<std::pair<fs::path, bool>> sets;
    std::vector<fs::path> files;
    for (const std::string& arg : paths_) {
        const fs::path p(arg);
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            const std::size_t before = sets.size();
            findSets(p, 2, sets);
            if (sets.size() == before) {
                std::cerr << "Erro: " << arg << " não contém arquivos gerados (nenhuma pasta Anual/ ou Mensal/).\n";
                return 2;
            }
        } else if (fs::is_regular_file(p, ec)) {
            files.push_back(p);
        } else {
            std::cerr << "Erro: " << arg << " não existe.\n";
            return 2;
        }
    }
    for (const auto& [dir, annual] : sets) checker.checkSet(dir, annual);
    for (const auto& f : files) {
        // A file named alone: its folder tells the set; otherwise its header's month.
        bool annual = lower(f.parent_path().filename().string()) == "anual";
        if (lower(f.parent_path().filename().string()) != "mensal" && !annual) {
            std::ifstream in(f, std::ios::binary);
            std::string head(7, '\0');
            in.read(head.data(), 7);
            annual = in.gcount() == 7 && head.substr(5, 2) == "14";
        }
        checker.checkFile(f, annual);
    }
    std::cout.flush();
    if (checker.findings == 0) {
        std::cerr << "Nenhum problema encontrado.\n";
        return 0;
    }
    std::cerr << checker.findings << (checker.findings == 1 ? " problema encontrado.\n" : " problemas encontrados.\n");
    return 1;
}

}  // namespace tcese
