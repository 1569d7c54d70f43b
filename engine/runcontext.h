#pragma once
// The values of the current generation run, read and set by the run, the
// generators and the engine operations. One per run; nothing global.
#include <string>

namespace tcese {

struct RunContext {
    std::string outputDir;        // chosen folder + periodFolder, ending with "/"
    std::string periodFolder;     // "Anual/" or "Mensal/"
    std::string currentFileName;  // name + ".txt" of the file being written
    std::string entityCode;       // two characters, TABEMPRESA.EMPRESA
    std::string monthCode;        // "01".."12", or "14" for the annual budget
    std::string monthEnd;         // last day of the month, monthly runs only
    std::string fiscalYear;       // CADCLI.MEXER
    std::string documentsFolder;  // set: supporting documents are looked for here, not in the chosen folder
    bool cancelRequested = false;
    bool fileHasErrors = false;
    bool runHasErrors = false;
    long recordCount = 0;
    int fileRow = -1;             // index of the file's row in the file list
};

}  // namespace tcese
