#pragma once
// The budget-parameter file ORC_TCE_SE.XML in the year's data folder: one row of
// 24 fields that the budget parameters screen keeps and Orcmto.txt reads.
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "data/connection.h"
#include "data/recordset.h"

namespace tcese {

inline constexpr std::string_view kOrcParamFile = "ORC_TCE_SE.XML";

struct OrcParamField {
    std::string_view name;
    FieldType type;
    int width;     // characters of a text, total digits of a decimal
    int decimals;
    bool required;
    std::string_view title;  // the grid's column title
};

// The 24 fields in file and grid order.
std::span<const OrcParamField> orcParamFields();
std::vector<FieldDef> orcParamFieldDefs();

// The row the file starts from, one item per line in field order.
extern const std::string_view kParamOrcQuery;

// PegaCaminho("D") + ORC_TCE_SE.XML (an existing file is found without regard to case).
std::filesystem::path orcParamPath(const std::filesystem::path& iniFile);

// Loads the file into `rs` with the declared required fields (PERC_MIN_EDU,
// PPA_NOVO_ALTERADO) whatever the file says. Throws DatapacketError naming the file.
void loadOrcParams(RecordSet& rs, const std::filesystem::path& file);

// First opening: when the data folder holds no parameter file, runs kParamOrcQuery
// and saves its rows as the file. Returns true when it created the file. A query
// or write failure throws; no file is left behind.
bool createOrcParamsIfMissing(Connection& db, const std::filesystem::path& iniFile);

// The save of "&Confirmar": posts a pending edit of `displayed` (a required field
// left empty throws RecordSetError and the file is not touched), copies its rows as
// text into a new one-row table (the last row wins) with the defaults "0" for
// PERC_SUPLEMENTACAO, PERC_LIM_OP_CRED and PERC_MAX_PESSOAL, "25" for PERC_MIN_EDU
// and "0" for PPA_NOVO_ALTERADO when blank, any other blank field empty, and writes
// it to `file` by rename into place: a failed save keeps the old file.
void saveOrcParams(RecordSet& displayed, const std::filesystem::path& file);

}  // namespace tcese
