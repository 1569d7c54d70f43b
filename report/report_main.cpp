// tcese-report: the log report of a month's saved log as a PDF, without a display.
// Started by "tcese report"; the command line itself links no Qt.
#include <CLI/CLI.hpp>

#include <QGuiApplication>

#include <cstdlib>
#include <iostream>

#include "config/pegacaminho.h"
#include "config/settings.h"
#include "data/datamodule.h"
#include "report/btnlog.h"

namespace {

// Run from a script or cron there is often no session runtime folder; Qt's note
// about it says nothing to the user.
void quietRuntimeNote(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (text.startsWith(QStringLiteral("QStandardPaths:"))) return;
    if (type != QtDebugMsg) std::cerr << text.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    std::string month;
    std::string pdf;
    std::string ini;
    CLI::App cli{"tcese report - relatório do log de um mês em PDF", "tcese report"};
    cli.add_option("-m,--month", month, "mês do log: 01 a 12, ou 14 para o orçamento anual")->required();
    cli.add_option("--pdf", pdf, "arquivo PDF a gravar")->required();
    cli.add_option("--ini", ini, "arquivo de configuração (como em export)");
    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = cli.exit(e);
        return rc == 0 ? 0 : 2;
    }
    const bool validMonth = month.size() == 2 && month.find_first_not_of("0123456789") == std::string::npos &&
                            ((std::stoi(month) >= 1 && std::stoi(month) <= 12) || month == "14");
    if (!validMonth) {
        std::cerr << "Erro: mês inválido \"" << month << "\": use 01 a 12, ou 14 para o orçamento anual.\n";
        return 2;
    }

    namespace fs = std::filesystem;
    fs::path iniFile;
    try {
        const char* env = std::getenv("TCESE_INI");
        iniFile = tcese::locateSettings(ini.empty() && env ? fs::path(env) : fs::path(ini),
                                        "Indique o arquivo com --ini ARQUIVO ou com a variável TCESE_INI, "
                                        "ou copie-o para um desses lugares.");
    } catch (const tcese::SettingsError& e) {
        std::cerr << "Erro: " << e.what() << "\n";
        return 2;
    }

    // Fonts and the PDF writer need a GUI application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietRuntimeNote);
    QGuiApplication app(argc, argv);

    tcese::DataModule dm;
    try {
        dm.Conexao.setDatabase(tcese::ConexaoBeforeConnect(tcese::Settings::load(iniFile)));
        dm.Conexao.connect();
        dm.Conexao.open(dm.CdsAux, "select * from cadcli");
        const std::string year = dm.CdsAux.eof() ? std::string() : dm.CdsAux.field("mexer").asString();
        const auto report = tcese::report::relLogReport(dm, iniFile, month, year);
        if (!report) {
            std::cerr << "Erro: Arquivo de Log não encontrado! Não há log salvo do mês " << month << " de " << year
                      << ": gere os arquivos do mês primeiro (tcese export).\n";
            return 2;
        }
        if (!tcese::report::exportPdf(*report, QString::fromStdString(pdf))) {
            std::cerr << "Erro: não foi possível gravar o arquivo " << pdf << ".\n";
            return 2;
        }
        std::cout << "Relatório do log (" << report->rows.size() << " registros) em: " << pdf << "\n";
    } catch (const std::exception& e) {
        std::cerr << "Erro: " << e.what() << "\n";
        return 2;
    }
    return 0;
}
