#pragma once
// Shared pieces of the engine tests: a recording observer and temp folders.
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
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

// A field of a detail record (bytes of the file) by its layout name; "NAME#2" is
// the second field of that name.
inline std::string fieldOf(const Layout& layout, const std::string& record, std::string name) {
    int nth = 1;
    if (const auto hash = name.find('#'); hash != std::string::npos) {
        nth = std::stoi(name.substr(hash + 1));
        name.resize(hash);
    }
    std::size_t at = 1;
    for (const FieldSpec& f : layout.fields) {
        const auto width = static_cast<std::size_t>(f.kind == "D" ? 8 : f.width);
        if (f.name == name && --nth == 0) return record.substr(at, width);
        at += width;
    }
    ADD_FAILURE() << "no field " << name;
    return {};
}

}  // namespace tcese::testing
