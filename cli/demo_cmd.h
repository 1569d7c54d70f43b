#pragma once
// "tcese demo": writes the demo installation (db/demo.h) and says what it made.
#include <iosfwd>

#include "db/demo.h"

namespace CLI {
class App;
}

namespace tcese {

// Builds the installation and prints the paths and a one-line summary to `out`,
// errors to `err`. Exit status: 0 done, 2 bad options, an existing installation
// without --force, or a failure (nothing is left that looks finished).
int runDemo(const DemoOptions& options, std::ostream& out, std::ostream& err, bool showProgress = false);

// The subcommand, registered on construction; lives as long as the parse.
class DemoCommand {
public:
    explicit DemoCommand(CLI::App& app);
    bool parsed() const;
    int run() const;

private:
    CLI::App* sub_;
    DemoOptions options_;
};

}  // namespace tcese
