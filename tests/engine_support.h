#pragma once
// Shared pieces of the engine tests: a recording observer and temp folders.
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "engine/filegenerator.h"
#include "engine/observer.h"

namespace tcese::testing {

struct RecordingObserver : RunObserver {
    struct Msg {
        MessageKind kind;
        std::string text;
    };
    std::vector<FileRow> created;
    std::vector<std::pair<int, FileRow>> closed;
    std::vector<Msg> messages;
    long lastFileMax = 0, lastFilePos = 0;
    int lastOverall = 0, lastOverallMax = 0;
    int eventCalls = 0;
    std::vector<bool> runStates;
    std::function<void()> onEvents;  // e.g. a click on "Cancela&r"

    void fileListCleared() override {
        created.clear();
        closed.clear();
    }
    void fileCreated(int, const FileRow& r) override { created.push_back(r); }
    void fileClosed(int row, const FileRow& r) override { closed.emplace_back(row, r); }
    void fileProgress(long pos, long max) override {
        lastFilePos = pos;
        lastFileMax = max;
    }
    void overallProgress(int pos, int max) override {
        lastOverall = pos;
        lastOverallMax = max;
    }
    void processEvents() override {
        ++eventCalls;
        if (onEvents) onEvents();
    }
    void message(MessageKind k, const std::string& t) override { messages.push_back({k, t}); }
    void runStateChanged(bool running) override { runStates.push_back(running); }
};

// A fresh folder per test, removed at the end.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tcese-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string() + "/"; }

private:
    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

// A file's text without its trailing line ends (query fixtures and the like).
inline std::string readFixture(const std::filesystem::path& p) {
    std::string s = readBytes(p);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

// A field's place in a record as the court's layout gives it: its first character
// (the record's leading "2" is character 1) and its width. "NAME#2" names the
// second field of that name.
struct CourtField {
    std::string_view name;
    std::size_t at;
    std::size_t width;
};

// The field `name` of a record (bytes of the file) by its place in `fields`.
inline std::string fieldAt(std::span<const CourtField> fields, const std::string& record, std::string_view name) {
    for (const CourtField& f : fields)
        if (f.name == name) return record.substr(f.at - 1, f.width);
    ADD_FAILURE() << "no field " << name;
    return {};
}

}  // namespace tcese::testing
