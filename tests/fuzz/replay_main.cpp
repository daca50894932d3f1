// SPDX-License-Identifier: MIT
// Replays saved fuzzer inputs without the fuzzer, so that any compiler can check the corpus.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::filesystem::path> inputsOf(const std::filesystem::path& argument) {
    std::vector<std::filesystem::path> inputs;
    if (std::filesystem::is_directory(argument)) {
        for (const auto& entry : std::filesystem::directory_iterator(argument)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
        std::sort(inputs.begin(), inputs.end());  // the same order on every run
    } else {
        inputs.push_back(argument);
    }
    return inputs;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " FILE|DIRECTORY...\n";
        return 2;
    }
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& path : inputsOf(argv[i])) {
            std::ifstream file(path, std::ios::binary);
            if (!file) {
                std::cerr << "cannot read " << path << '\n';
                return 1;
            }
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                                  std::istreambuf_iterator<char>()};
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    }
    std::cout << "replayed " << replayed << " inputs\n";
    return replayed == 0 ? 1 : 0;  // an empty corpus would prove nothing
}
