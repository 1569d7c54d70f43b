#include "engine/courttables.h"

#include <algorithm>
#include <vector>

#include "config/encoding.h"
#include "config/pegacaminho.h"
#include "data/datapacket.h"
#include "engine/exporter.h"
#include "engine/ret.h"

namespace tcese {

namespace fs = std::filesystem;

fs::path findFileNoCase(const fs::path& dir, std::string_view name) {
    const fs::path exact = dir / std::string(name);
    std::error_code ec;
    if (fs::is_regular_file(exact, ec)) return exact;

    std::vector<fs::path> found;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fec;
        if (iequals(it->path().filename().string(), name) && fs::is_regular_file(it->path(), fec))
            found.push_back(it->path());
    }
    if (found.empty()) return exact;
    // Several spellings side by side: the same one every time.
    return *std::min_element(found.begin(), found.end());
}

fs::path courtTablePath(const fs::path& iniFile, std::string_view table) {
    return findFileNoCase(fs::path(PegaCaminho("TD", iniFile)), table);
}

void loadCourtTable(RecordSet& rs, const fs::path& iniFile, std::string_view table) {
    rs.close();
    loadDatapacket(rs, courtTablePath(iniFile, table));
}

RevenueCodes::RevenueCodes(const RecordSet& table, std::string_view source) {
    const int code = table.fieldIndex("CODRE");
    const int situation = table.fieldIndex("SITUACAO_ITEM");
    if (code < 0) throw DatapacketError("Arquivo XML '" + std::string(source) + "': não tem o campo CODRE");
    for (int r = 0; r < table.recordCount(); ++r) {
        const bool blocked = situation >= 0 && valueToText(table.valueAt(r, situation)) == "N";
        // The first row of a code is the one a search finds.
        blocked_.try_emplace(valueToText(table.valueAt(r, code)), blocked);
    }
}

std::string RevenueCodes::devolve(std::string_view code) const {
    const std::string digits = PEGANUMERO(code);
    const std::string candidate = digits.substr(0, std::min<std::size_t>(digits.size(), 8));
    if (blocked_.count(candidate)) return candidate;
    for (std::size_t zeros = 1; zeros + 2 <= candidate.size(); ++zeros) {
        const std::string tried = candidate.substr(0, candidate.size() - zeros) + std::string(zeros, '0');
        const auto it = blocked_.find(tried);
        if (it == blocked_.end()) continue;
        return it->second ? candidate : tried;
    }
    return candidate;
}

const RevenueCodes& CourtTables::revenue(RecordSet& xmlRec, const fs::path& iniFile) {
    if (!revenue_) {
        const fs::path file = courtTablePath(iniFile, kReceitaTable);
        xmlRec.close();
        loadDatapacket(xmlRec, file);
        revenue_.emplace(xmlRec, file.string());
    }
    return *revenue_;
}

std::string DEVOLVE_CODRE(Exporter& ex, std::string_view code) {
    return ex.courtTables.revenue(ex.dm.XmlRec, ex.iniFile()).devolve(code);
}

}  // namespace tcese
