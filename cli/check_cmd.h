#pragma once
// "tcese check": verifies export files as the court's importer reads them.
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tcese {

class CheckCommand {
public:
    explicit CheckCommand(CLI::App& app);
    bool parsed() const;
    int run() const;

private:
    CLI::App* sub_;
    std::vector<std::string> paths_;
};

}  // namespace tcese
