// tcese: the command line of the audit-court export.
#include <CLI/CLI.hpp>

#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <iostream>

#include "cli/check_cmd.h"
#include "cli/demo_cmd.h"
#include "cli/export_cmd.h"
#include "cli/report_cmd.h"
#include "version.h"

namespace {

// The user's locale, as the desktop program (Qt) takes it: the database engine reads
// a path with accents in the locale's character set, and the bare "C" locale has none.
// A locale that is not UTF-8 keeps its other parts and gets UTF-8 characters.
void useUserLocale() {
    std::setlocale(LC_ALL, "");
    const char* codeset = nl_langinfo(CODESET);
    if (!codeset || std::strcmp(codeset, "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

}  // namespace

int main(int argc, char** argv) {
    useUserLocale();
    CLI::App app{"tcese - exportação de arquivos para o TCE/SE (SISAP)", "tcese"};
    app.set_version_flag("--version", std::string("tcese ") + TCESE_VERSION);
    app.require_subcommand(0, 1);

    auto* exp = app.add_subcommand("export", "gera os arquivos de um mês (01 a 12) ou do orçamento anual (14)");
    exp->footer(
        "Saída: 0 sem problemas; 1 arquivos gerados com problemas no log; 2 erro ou argumentos inválidos;\n"
        "3 arquivos gerados, mas algum arquivo do catálogo ainda não disponível nesta versão; 130 cancelado (Ctrl-C).\n"
        "Com mais de uma geração (vários meses ou --all-entities), cada uma vai para PASTA/<EE>-<MM>/ com uma cópia\n"
        "do seu log, e a saída é a pior das gerações.");
    tcese::ExportOptions eo;
    std::string month;
    std::string only;
    std::string format = "text";
    bool json = false;
    exp->add_option("-m,--month", month,
                    "mês de referência: 01 a 12, ou 14 para o orçamento anual; vários: 01-12 ou 03,04,14")
        ->required();
    exp->add_option("-o,--out", eo.out, "pasta onde os arquivos serão gerados (Anual/ ou Mensal/ dentro dela)")
        ->required();
    auto* entityOpt = exp->add_option("-e,--entity", eo.entities,
                                      "número da entidade (padrão: a primeira de TABEMPRESA); várias: 1,2")
                          ->delimiter(',')
                          ->check(CLI::Range(1, 99));
    exp->add_flag("--all-entities", eo.allEntities, "gera para cada entidade de TABEMPRESA, na ordem da tabela")
        ->excludes(entityOpt);
    exp->add_option("--only", only, "gera só estes arquivos (nomes da lista, sem \".txt\", separados por vírgula)");
    exp->add_option("--ini", eo.ini, "arquivo de configuração (padrão: TCESE_INI, ou Vora.ini ao lado do programa, em "
                   "$XDG_CONFIG_HOME/tcese/ ou em /etc/tcese/)");
    exp->add_option("--format", format, "saída: text (tabela) ou json")->check(CLI::IsMember({"text", "json"}));
    exp->add_flag("--json", json, "o mesmo que --format json");
    exp->add_flag("-q,--quiet", eo.quiet, "mostra só as mensagens");
    exp->add_flag("--timings", eo.timings, "ao final, o tempo de cada arquivo, do mais lento ao mais rápido");
    auto* val = app.add_subcommand("validate",
                                    "confere os dados de um mês como a exportação, sem gravar arquivos nem o log");
    val->footer(
        "Executa todas as consultas e verificações da exportação e mostra cada problema (arquivo, linha, descrição,\n"
        "como resolver) como o log os guardaria, na mesma ordem. Não grava arquivos nem substitui o log do mês.\n"
        "Saída: 0 sem problemas; 1 problemas encontrados; 2 erro ou argumentos inválidos; 130 cancelado (Ctrl-C).");
    tcese::ExportOptions vo;
    vo.validate = true;
    std::string vmonth;
    bool vjson = false;
    val->add_option("-m,--month", vmonth, "mês de referência: 01 a 12, ou 14 para o orçamento anual")->required();
    int ventity = 0;
    val->add_option("-e,--entity", ventity, "número da entidade (padrão: a primeira de TABEMPRESA)")
        ->check(CLI::Range(1, 99));
    val->add_option("-o,--out", vo.out, "pasta onde estão os documentos (.DOC), como na exportação (padrão: a atual)");
    val->add_option("--ini", vo.ini, "arquivo de configuração (como em export)");
    val->add_option("--format", vo.format, "saída: text, csv ou json")->check(CLI::IsMember({"text", "csv", "json"}));
    val->add_flag("--json", vjson, "o mesmo que --format json");
    val->add_flag("-q,--quiet", vo.quiet, "mostra só os problemas");
    tcese::DemoCommand demo(app);
    tcese::CheckCommand check(app);
    tcese::ReportCommand report(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }
    if (demo.parsed()) return demo.run();
    if (check.parsed()) return check.run();
    if (report.parsed()) return report.run();
    if (*exp) {
        eo.months = tcese::parseMonths(month);
        if (eo.months.empty()) {
            std::cerr << "Erro: mês inválido \"" << month
                      << "\": use 01 a 12, ou 14 para o orçamento anual; vários meses como 01-12 ou 03,04,14.\n";
            return 2;
        }
        if (!only.empty()) {
            std::string error;
            eo.only = tcese::parseOnly(only, eo.months, error);
            if (eo.only.empty()) {
                std::cerr << "Erro: " << error << "\n";
                return 2;
            }
        }
        eo.json = json || format == "json";
        return tcese::runExportCommand(eo);
    }
    if (*val) {
        vo.months = tcese::parseMonths(vmonth);
        if (vo.months.size() != 1) {
            std::cerr << "Erro: mês inválido \"" << vmonth << "\": use 01 a 12, ou 14 para o orçamento anual.\n";
            return 2;
        }
        if (ventity > 0) vo.entities.push_back(ventity);
        if (vjson) vo.format = "json";
        vo.json = vo.format == "json";
        return tcese::runExportCommand(vo);
    }
    std::cout << app.help();
    return 0;
}
