#include "cli/demo_cmd.h"

#include <CLI/CLI.hpp>
#include <unistd.h>

#include <iostream>
#include <string>

namespace tcese {

namespace {

std::string folder(const std::filesystem::path& p) {
    std::string s = p.string();
    if (!s.empty() && s.back() != '/') s += '/';
    return s;
}

}  // namespace

int runDemo(const DemoOptions& options, std::ostream& out, std::ostream& err, bool showProgress) {
    const bool tty = showProgress && isatty(STDERR_FILENO) != 0;
    auto progress = [&](const std::string& phase) {
        if (tty) err << "\r\033[K" << phase << std::flush;
    };
    try {
        const DemoResult r = createDemo(options, progress);
        if (tty) err << "\r\033[K" << std::flush;
        long tables = 0;
        for (const auto& [name, rows] : r.tableRows)
            if (rows > 0) ++tables;
        int documents = 0;
        for (const auto& f : r.files)
            if (f.parent_path() == r.outputDir) ++documents;
        out << "Instalação de demonstração criada em "
            << std::filesystem::absolute(options.dir).lexically_normal().string() << "\n";
        out << "  Configuração:   " << r.iniFile.string() << "\n";
        out << "  Base de dados:  " << r.database.string() << "\n";
        out << "  Tabelas do TCE: " << folder(r.tableDir)
            << " (PLANO_CONTAS_SE.XML, DESPESA_TCESE.XML, RECEITA_TCESE.XML)\n";
        if (!options.empty) {
            out << "  Parâmetros:     " << folder(r.dataDir) << "ORC_TCE_SE.XML\n";
            out << "  Documentos:     " << folder(r.outputDir) << " (" << documents << " arquivos .DOC)\n";
        }
        out << "Exercício " << options.year << ", escala " << options.scale << (options.empty ? ", vazia" : "") << ": "
            << r.totalRows << " registros (" << r.movementRows << " de movimento) em " << tables << " tabelas.\n";
        return 0;
    } catch (const std::exception& e) {
        if (tty) err << "\r\033[K";
        err << "Erro: " << e.what() << "\n";
        return 2;
    }
}

DemoCommand::DemoCommand(CLI::App& app)
    : sub_(app.add_subcommand("demo", "cria uma instalação de demonstração (município fictício, base local)")) {
    sub_->footer("Saída: 0 criada; 2 erro, argumentos inválidos ou instalação já existente sem --force.");
    sub_->add_option("-d,--dir", options_.dir, "pasta da instalação (Vora.ini, VORA_8/, saida/)")->required();
    // createDemo checks year and scale, and says what is wrong in the program's language.
    sub_->add_option("-y,--year", options_.year, "exercício da base, de 2000 a 2099 (padrão 2007)");
    sub_->add_option("-s,--scale", options_.scale,
                     "multiplica o volume de movimento: 1 cidade pequena, 100 cidade grande (padrão 1)");
    sub_->add_flag("--empty", options_.empty, "só o esquema e o cliente (CADCLI), sem movimento");
    sub_->add_flag("--force", options_.force, "substitui uma instalação existente na pasta");
}

bool DemoCommand::parsed() const { return sub_->parsed(); }

int DemoCommand::run() const {
    const int rc = runDemo(options_, std::cout, std::cerr, true);
    if (rc == 0 && !options_.empty) {
        const std::string dir = std::filesystem::absolute(options_.dir).lexically_normal().string();
        std::cout << "Para exportar março: tcese export --month 03 --out " << dir << "/saida --ini " << dir
                  << "/Vora.ini\n";
    }
    return rc;
}

}  // namespace tcese
