// tcese: the command line of the audit-court export.
#include <CLI/CLI.hpp>

#include <iostream>

#include "version.h"

int main(int argc, char** argv) {
    CLI::App app{"tcese - exportação de arquivos para o TCE/SE (SISAP)", "tcese"};
    app.set_version_flag("--version", std::string("tcese ") + TCESE_VERSION);
    app.require_subcommand(0);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? 0 : 2;
    }
    if (argc == 1) std::cout << app.help();
    return 0;
}
