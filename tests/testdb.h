#pragma once
// Databases for tests: an empty database is created from db/schema.sql once per
// build (guarded by a lock, test processes run in parallel) and every test gets a
// private copy, since the embedded engine opens a file exclusively.
#include <filesystem>
#include <string>

#include "data/connection.h"
#include "data/datamodule.h"

namespace tcese::testing {

// A private copy of the empty schema database, removed with the object.
class TestDatabase {
public:
    TestDatabase();
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::filesystem::path& path() const { return path_; }
    const std::filesystem::path& dir() const { return dir_; }

    // Runs a script (statements ended by ";") in its own connection.
    void exec(const std::string& script) const;

    // A local-mode installation around the database: dir()/Vora.ini with Ano, the
    // year folder ARQ<year>/VORA<year>.FDB (the database moves there) and TABDEF/.
    // Returns the settings file.
    std::filesystem::path installAsYear(const std::string& year);

    // Connects a data module to this database.
    void connect(DataModule& dm) const;

private:
    std::filesystem::path dir_;
    std::filesystem::path path_;
};

// The schema database every copy starts from.
std::filesystem::path schemaTemplate();

}  // namespace tcese::testing
