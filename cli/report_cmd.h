#pragma once
// "tcese report": the log report as a PDF. The rendering needs Qt, which the command
// line does not link: the work is done by the program tcese-report.
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tcese {

class ReportCommand {
public:
    explicit ReportCommand(CLI::App& app);
    bool parsed() const;
    int run() const;

private:
    CLI::App* sub_;
    std::string month_;
    std::string pdf_;
    std::string ini_;
};

}  // namespace tcese
