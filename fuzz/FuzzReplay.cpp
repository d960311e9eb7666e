// Runs a fuzz target's entry point over files instead of under libFuzzer, so
// that ctest replays every input kept in its corpus. Arguments are files or
// folders; a folder gives every regular file inside it, in name order.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(std::span<char*> arguments) {
    std::vector<fs::path> inputs;
    for (const char* argument : arguments) {
        const fs::path path(argument);
        if (!fs::is_directory(path)) {
            inputs.push_back(path);
            continue;
        }
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
            if (entry.is_regular_file()) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        inputs.insert(inputs.end(), files.begin(), files.end());
    }
    return inputs;
}

bool Replay(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // A block of exactly the input's size, as libFuzzer hands it over, so that
    // the sanitizers catch a read one past the end.
    const auto copy = std::make_unique<uint8_t[]>(bytes.size());
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    // Named before the run, so a crash says which input caused it.
    std::printf("replaying %s (%zu bytes)\n", path.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(copy.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<fs::path> inputs =
        Inputs(std::span<char*>(argv + 1, static_cast<size_t>(std::max(argc - 1, 0))));
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s <corpus file or folder>... (found no input)\n", argv[0]);
        return 1;
    }
    for (const fs::path& input : inputs) {
        if (!Replay(input)) {
            return 1;
        }
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
