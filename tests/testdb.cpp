#include "testdb.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tcese::testing {

namespace {

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Serialises template creation among parallel test processes.
class FileLock {
public:
    explicit FileLock(const fs::path& p) : fd_(::open(p.c_str(), O_CREAT | O_RDWR, 0644)) {
        if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) throw std::runtime_error("cannot lock " + p.string());
    }
    ~FileLock() {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }

private:
    int fd_;
};

}  // namespace

fs::path schemaTemplate() {
    const fs::path dir = fs::path(TCESE_BINARY_DIR) / "testdata";
    fs::create_directories(dir);
    const fs::path db = dir / "schema-template.fdb";
    const fs::path schema = fs::path(TCESE_SOURCE_DIR) / "db" / "schema.sql";
    FileLock lock(dir / "schema-template.lock");
    // Rebuilt when the schema is newer than the template.
    if (fs::exists(db) && fs::last_write_time(db) >= fs::last_write_time(schema)) return db;
    const fs::path tmp = dir / ("schema-template." + std::to_string(::getpid()) + ".fdb");
    fs::remove(tmp);
    Connection::createDatabase(tmp.string());
    {
        Connection c;
        c.setDatabase(tmp.string());
        c.connect();
        c.executeScript(readText(schema));
        c.close();
    }
    fs::rename(tmp, db);
    return db;
}

TestDatabase::TestDatabase() {
    static std::atomic<int> counter{0};
    dir_ = fs::temp_directory_path() /
           ("tcese-db-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = dir_ / "test.fdb";
    fs::copy_file(schemaTemplate(), path_);
}

TestDatabase::~TestDatabase() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void TestDatabase::exec(const std::string& script) const {
    Connection c;
    c.setDatabase(path_.string());
    c.connect();
    c.executeScript(script);
    c.close();
}

fs::path TestDatabase::installAsYear(const std::string& year) {
    const fs::path yearDir = dir_ / ("ARQ" + year);
    fs::create_directories(yearDir);
    fs::create_directories(dir_ / "TABDEF");
    const fs::path moved = yearDir / ("VORA" + year + ".FDB");
    fs::rename(path_, moved);
    path_ = moved;
    const fs::path ini = dir_ / "Vora.ini";
    std::ofstream(ini) << "[VORA]\nAno=" << year << "\nCaminho_Base_Dados=" << dir_.string() << "/\n";
    return ini;
}

void TestDatabase::connect(DataModule& dm) const {
    dm.Conexao.setDatabase(path_.string());
    dm.Conexao.connect();
}

}  // namespace tcese::testing
