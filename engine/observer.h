#pragma once
// How a run reports to whoever shows it: the window, the terminal or a test.
// The run never knows which.
#include <string>

namespace tcese {

enum class MessageKind { Warning, Error, Info };

// Caption of a message box of that kind.
inline const char* messageCaption(MessageKind k) {
    switch (k) {
        case MessageKind::Warning: return "Atenção";
        case MessageKind::Error: return "Erro";
        case MessageKind::Info: return "OK";
    }
    return "";
}

// State icon of a file row.
enum FileState : int {
    kStateWithErrors = 0,
    kStateSuccess = 1,
    kStateNoRecords = 2,
    kStateFilling = 3,
};

inline const char* fileStateLegend(int state) {
    static const char* const texts[] = {"Arquivo Criado com Erros", "Arquivo Gerado com Sucesso",
                                        "Arquivo sem Registros", "Arquivo sendo Preenchido"};
    return state >= 0 && state < 4 ? texts[state] : "";
}

// One row of the file list: "Arquivo Gerado", "Linhas", "Data", "Tamanho" and the icon.
struct FileRow {
    std::string fileName;
    std::string lines;
    std::string date;
    std::string size;
    int stateIndex = kStateFilling;
};

class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void fileListCleared() {}
    virtual void fileCreated(int /*row*/, const FileRow& /*r*/) {}
    virtual void fileClosed(int /*row*/, const FileRow& /*r*/) {}
    // Current-file bar (p1) and overall bar (p2).
    virtual void fileProgress(long /*position*/, long /*maximum*/) {}
    virtual void overallProgress(int /*position*/, int /*maximum*/) {}
    // Lets the window handle pending events (a click on "Cancela&r" among them).
    virtual void processEvents() {}
    virtual void message(MessageKind /*kind*/, const std::string& /*text*/) {}
    // A run started or ended (controls disabled / enabled).
    virtual void runStateChanged(bool /*running*/) {}
};

}  // namespace tcese
