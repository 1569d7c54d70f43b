// Replays fuzz inputs without libFuzzer: every file of the folders named on the
// command line goes through the target's entry function, in name order. A broken
// invariant aborts, an escaping exception terminates: either fails the test.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const fs::path dir = argv[i];
        if (!fs::is_directory(dir)) {
            std::fprintf(stderr, "pasta não encontrada: %s\n", argv[i]);
            return 2;
        }
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.is_regular_file()) files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
        std::ifstream in(f, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "%s\n", f.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu entradas repetidas sem falha\n", files.size());
    return files.empty() ? 1 : 0;
}
