#pragma once
// "tcese export": one run, or a batch of entities and months, from the terminal.
#include <string>
#include <vector>

namespace tcese {

struct ExportOptions {
    std::string ini;
    std::vector<int> months;         // 1..12 or 14, in the order asked
    std::vector<int> entities;       // empty: the first of TABEMPRESA
    bool allEntities = false;
    std::string out;
    bool quiet = false;
    bool json = false;
    bool timings = false;            // each file's time after the run (always in JSON)
    std::vector<std::string> only;   // file names without ".txt"; empty: every file
    // "tcese validate": every query and check, no export file kept, the month's log
    // untouched; the problems printed as text, csv or json.
    bool validate = false;
    std::string format = "text";
};

// "01-12", "03,04,14", "3": the months asked, or an empty list when the text is not valid.
std::vector<int> parseMonths(const std::string& text);

// "Empenho,ItemEmp" checked against the catalogues of `months`: the names as the
// catalogue spells them, or an empty list and `error` set.
std::vector<std::string> parseOnly(const std::string& text, const std::vector<int>& months, std::string& error);

// Exit status: 0 no problem, 1 problems logged, 2 error, 3 a file not available in this
// version, 130 cancelled; a batch returns the worst of its runs.
int runExportCommand(const ExportOptions& options);

}  // namespace tcese
