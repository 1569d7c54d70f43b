#pragma once
// The court's reference tables (chart of accounts, expense and revenue codes),
// datapacket files in the table folder, and the revenue code lookup DEVOLVE_CODRE.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/recordset.h"

namespace tcese {

class Exporter;

inline constexpr std::string_view kPlanoContasTable = "PLANO_CONTAS_SE.XML";
inline constexpr std::string_view kDespesaTable = "DESPESA_TCESE.XML";
inline constexpr std::string_view kReceitaTable = "RECEITA_TCESE.XML";

// `dir`/`name`, or the entry of `dir` whose name matches `name` without regard to
// case (the tables come from a case-insensitive platform). `dir`/`name` when there
// is none, so that a load names the file it expected.
std::filesystem::path findFileNoCase(const std::filesystem::path& dir, std::string_view name);

// The table's path in PegaCaminho("TD") of the settings file.
std::filesystem::path courtTablePath(const std::filesystem::path& iniFile, std::string_view table);

// Loads a court table into `rs`. A missing file, or one that is not a datapacket,
// throws DatapacketError naming the file.
void loadCourtTable(RecordSet& rs, const std::filesystem::path& iniFile, std::string_view table);

// The revenue table indexed by CODRE: whether the first row of each code has
// SITUACAO_ITEM "N".
class RevenueCodes {
public:
    RevenueCodes() = default;
    // Reads CODRE and SITUACAO_ITEM as text; a table without CODRE throws
    // DatapacketError naming `source`.
    RevenueCodes(const RecordSet& table, std::string_view source);

    // The court's revenue code for a local revenue code: exact match of its first
    // 8 digits, else the same digits zeroed from the right while two stay; a match
    // found by zeroing and marked "N" gives the local digits back.
    std::string devolve(std::string_view code) const;

private:
    std::unordered_map<std::string, bool> blocked_;  // CODRE -> SITUACAO_ITEM is "N"
};

// The tables a run reads, loaded at their first use in the run. The files do not
// change during a run, so one load gives the same results as one per record.
class CourtTables {
public:
    // Forgets what was loaded: the next run reads the files again.
    void clear() { revenue_.reset(); }

    // RECEITA_TCESE.XML, loaded into `xmlRec` on first use.
    const RevenueCodes& revenue(RecordSet& xmlRec, const std::filesystem::path& iniFile);

private:
    std::optional<RevenueCodes> revenue_;
};

// DEVOLVE_CODRE of the main window: the revenue table of this run (XmlRec).
std::string DEVOLVE_CODRE(Exporter& ex, std::string_view code);

}  // namespace tcese
