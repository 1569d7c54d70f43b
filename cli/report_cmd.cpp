#include "cli/report_cmd.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

namespace tcese {

namespace fs = std::filesystem;

ReportCommand::ReportCommand(CLI::App& app) {
    sub_ = app.add_subcommand("report", "relatório do log salvo de um mês em PDF (não precisa de tela)");
    sub_->footer("As mesmas páginas da visualização do log na janela.\n"
                 "Saída: 0 PDF gravado; 2 erro (log do mês inexistente, PDF que não pode ser gravado).");
    sub_->add_option("-m,--month", month_, "mês do log: 01 a 12, ou 14 para o orçamento anual")->required();
    sub_->add_option("--pdf", pdf_, "arquivo PDF a gravar")->required();
    sub_->add_option("--ini", ini_, "arquivo de configuração (como em export)");
}

bool ReportCommand::parsed() const { return sub_->parsed(); }

int ReportCommand::run() const {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    // Beside this program (the build folder), or where the package puts it.
    const fs::path candidates[] = {self.parent_path() / "tcese-report",
                                   self.parent_path() / "../libexec/tcese/tcese-report"};
    for (const fs::path& helper : candidates) {
        if (::access(helper.c_str(), X_OK) != 0) continue;
        std::vector<std::string> args{helper.string(), "--month", month_, "--pdf", pdf_};
        if (!ini_.empty()) {
            args.push_back("--ini");
            args.push_back(ini_);
        }
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(helper.c_str(), argv.data());
        std::cerr << "Erro: não foi possível executar " << helper.string() << ": " << std::strerror(errno) << "\n";
        return 2;
    }
    std::cerr << "Erro: o relatório em PDF precisa do programa tcese-report, que não foi encontrado em "
              << candidates[0].string() << " nem em " << candidates[1].lexically_normal().string()
              << ". Instale o pacote completo (com o programa de janelas).\n";
    return 2;
}

}  // namespace tcese
