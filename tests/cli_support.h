#pragma once
// Runs the built program as a user would.
#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tcese::testing {

struct Outcome {
    int status;
    std::string output;  // stdout and stderr
};

inline Outcome runShell(const std::string& cmd) {
    Outcome o{-1, {}};
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p) return o;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) o.output.append(buf, n);
    const int st = ::pclose(p);
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return o;
}

// `env` goes before the program: "LC_ALL=C " runs it in that locale.
inline Outcome runTcese(const std::string& args, const std::string& env = "") {
    return runShell(env + std::string(TCESE_BINARY_DIR) + "/tcese " + args + " 2>&1");
}

}  // namespace tcese::testing
