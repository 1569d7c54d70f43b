#pragma once
// The ground every generator test stands on: a private database of the schema
// installed as the year 2007, an exporter for March 2007 and entity 01 writing into
// a fresh folder, and readers of the file written and of the log.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "data/datamodule.h"
#include "engine/catalogue.h"
#include "engine/exporter.h"
#include "engine_support.h"
#include "testdb.h"

namespace tcese::testing {

std::string sp(int n);     // n blanks
std::string zeros(int n);  // n zeros
// `bytes` (Windows-1252: a byte a character) filled with blanks up to `width`.
std::string pad(const std::string& bytes, int width);
// The Windows-1252 bytes of a UTF-8 text filled with blanks up to `width` characters.
std::string padText(const std::string& utf8, int width);

// The statement kept in tests/fixtures/queries/<name>.sql (the court's text with the
// values of March 2007 and entity 01), without its opening comment lines and its
// closing ";".
std::string courtQuery(std::string_view name);
// `sql` with the value pasted as `literal` (its last occurrence) taken as a bound
// parameter instead: `placeholder` stands in its place.
std::string asParameter(std::string sql, std::string_view literal, std::string_view placeholder = "?");

// A generator under test: its operation, the file as the catalogue names it, and
// the court's length of a detail record ("2" included).
struct GeneratedFile {
    const char* name;
    GeneratorFn run;
    int length;
    int shortLength = 0;  // a second length the court allows (a record that ends early)
};

class GeneratorTest : public ::testing::Test {
protected:
    GeneratorTest();

    // Runs the generator and returns the file's lines without CR LF; a last line
    // without CR LF is marked. Every detail record is checked against the court's
    // length.
    std::vector<std::string> lines(const GeneratedFile& f);
    // The same, detail records sorted (a query without order).
    std::vector<std::string> sortedLines(const GeneratedFile& f);
    // The lines of a file already written into the output folder.
    std::vector<std::string> fileLines(const std::string& fileName) const;

    // "FILE|STATUS|LINE|DESCRICAO|RESOLVER" per log entry, in order.
    std::vector<std::string> entries();
    void clearLog() { dm.CdsLog.close(); }

    TestDatabase db;
    std::filesystem::path ini;  // the installation's settings file
    TempDir out;
    DataModule dm;
    RecordingObserver obs;
    std::unique_ptr<Exporter> ex;
};

}  // namespace tcese::testing
