#pragma once
// The demo installation: a complete local-mode installation of a fictional
// municipality (a prefeitura, its câmara and a health fund), with one year of
// budget, revenue, ledger, commitments, liquidations, payments, contracts,
// biddings, waivers, agreements, commissions and works, and a handful of
// deliberate data problems that the export logs (listed in db/README.md).
// Deterministic: the same options give the same data.
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tcese {

// db/schema.sql, built into the program.
std::string_view embeddedSchemaSql();

struct DemoOptions {
    std::filesystem::path dir;  // the installation folder; created when missing
    int year = 2007;            // 2000 to 2099: waiver numbers keep two year digits
    int scale = 1;              // multiplies the movement volume: 1 a small town, 100 a large city
    bool empty = false;         // schema and CADCLI only
    bool force = false;         // replace an existing installation
};

inline constexpr int kDemoMaxScale = 1000;

struct DemoResult {
    std::filesystem::path iniFile;                        // dir/Vora.ini
    std::filesystem::path database;                       // dir/VORA_8/CIDADES/DEMO/ARQyyyy/VORAyyyy.FDB
    std::filesystem::path dataDir;                        // the year's data folder (PegaCaminho "D")
    std::filesystem::path tableDir;                       // the table folder (PegaCaminho "TD")
    std::filesystem::path outputDir;                      // dir/saida: export folder holding the supporting documents
    std::vector<std::filesystem::path> files;             // every file written, in order
    std::vector<std::pair<std::string, long>> tableRows;  // rows per table, in insertion order
    long totalRows = 0;
    long movementRows = 0;  // rows of the tables that the scale multiplies
};

class DemoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// There is already an installation in the folder and `force` was not given.
class DemoExistsError : public DemoError {
public:
    using DemoError::DemoError;
};

// Builds the installation. The database is filled under a temporary name and
// renamed into place only when complete, and Vora.ini is written last, so a
// failure leaves nothing that looks like a finished installation. Bad options
// throw DemoError, an existing installation DemoExistsError; database and file
// errors are thrown as they come (DatabaseError, DatapacketError,
// std::filesystem::filesystem_error). `progress` gets a short text per phase.
DemoResult createDemo(const DemoOptions& options, const std::function<void(const std::string&)>& progress = {});

}  // namespace tcese
