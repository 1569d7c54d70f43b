#pragma once
// A generation run: the steps of "&Gerar" without the window.
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "engine/catalogue.h"
#include "engine/exporter.h"

namespace tcese {

struct RunRequest {
    std::string monthText;   // month box entry, e.g. "03 - MARÇO" or "14 - ORÇAMENTO ANUAL"; empty: none chosen
    std::string entityText;  // entity box entry, e.g. "01 - PREFEITURA MUNICIPAL"
    std::string folder;      // folder box text, ending with "/"
};

enum class RunOutcome {
    NoMonth,    // "Selecione o Mês de Referência!"
    NoFolder,   // "Selecione o Local onde os Arquivos serão Gerados!"
    Completed,  // every step written and the log saved
    Cancelled,  // "Cancela&r": current file left incomplete, log not saved
    Failed,     // stopped by an error; the message names what and where
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Failed;
    bool hadErrors = false;                   // problems were logged
    std::vector<std::string> unavailable;     // steps this version cannot write yet
    std::string error;                        // Failed: the error text; log save failure otherwise
    std::filesystem::path logFile;            // where the log was saved
};

const char* const kMonthEntries[13] = {
    "14 - ORÇAMENTO ANUAL", "01 - JANEIRO", "02 - FEVEREIRO", "03 - MARÇO",    "04 - ABRIL",
    "05 - MAIO",            "06 - JUNHO",   "07 - JULHO",     "08 - AGOSTO",   "09 - SETEMBRO",
    "10 - OUTUBRO",         "11 - NOVEMBRO", "12 - DEZEMBRO",
};

// Runs every step of the catalogue in order, as "&Gerar" does.
RunResult gerarClick(Exporter& ex, const RunRequest& req, std::span<const CatalogueStep> annual,
                     std::span<const CatalogueStep> monthly);

}  // namespace tcese

namespace tcese {

// The entity box entries: EMPRESA in at least two digits + " - " + NOME in upper case,
// in entity order ("01 - PREFEITURA MUNICIPAL").
std::vector<std::string> entityEntries(DataModule& dm);

}  // namespace tcese
