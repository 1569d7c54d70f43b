#pragma once
// A run's steps: which operation writes which file, in the court's order.
#include <span>
#include <string_view>

namespace tcese {

class Exporter;
struct Layout;

// Writes one export file; `fileName` is the catalogue's, without ".txt".
using GeneratorFn = void (*)(Exporter&, std::string_view fileName);

struct CatalogueStep {
    int step;
    std::string_view operation;
    std::string_view fileName;
    GeneratorFn run;       // nullptr: not available in this version
    const Layout* layout;  // detail record layout; nullptr for files without records
};

}  // namespace tcese
