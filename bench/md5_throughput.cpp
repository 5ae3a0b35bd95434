// Hashes a 256 MiB file with HashFile and with md5sum, in the same run and on the same (cached)
// file, and prints the ratio of HashFile's throughput to md5sum's. Target: at least 0.8.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "BenchShell.h"
#include "codecs/HashFile.h"

namespace {

constexpr std::size_t kFileSize = std::size_t{256} << 20;
constexpr int kRounds = 3;

using bench::Seconds;

bool WriteTestFile(const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    std::mt19937_64 random(12345);
    std::vector<std::uint64_t> block(1 << 16);
    for (std::size_t written = 0; written < kFileSize; written += block.size() * 8) {
        for (auto& word : block) word = random();
        out.write(reinterpret_cast<const char*>(block.data()),
                  static_cast<std::streamsize>(block.size() * 8));
    }
    return static_cast<bool>(out);
}

}  // namespace

int main() {
    const std::string path =
        (std::filesystem::temp_directory_path() / "kelto-md5-bench.bin").string();
    const std::string sumPath = path + ".md5";
    if (!WriteTestFile(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }

    std::string hash;
    HashFile(path, hash);  // brings the file into the page cache for both contenders
    double ours = 1e9;
    double theirs = 1e9;
    const std::string command = "md5sum '" + path + "' > '" + sumPath + "'";
    for (int round = 0; round < kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        if (!HashFile(path, hash)) return 1;
        ours = std::min(ours, Seconds(std::chrono::steady_clock::now() - start));

        start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) return 1;
        theirs = std::min(theirs, Seconds(std::chrono::steady_clock::now() - start));
    }

    std::string expected;
    if (std::ifstream in(sumPath); in >> expected) {
        std::transform(expected.begin(), expected.end(), expected.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    }
    std::filesystem::remove(path);
    std::filesystem::remove(sumPath);
    if (expected != hash) {
        std::fprintf(stderr, "digests differ: %s (HashFile) vs %s (md5sum)\n", hash.c_str(),
                     expected.c_str());
        return 1;
    }

    const double mib = static_cast<double>(kFileSize) / (1 << 20);
    std::printf("HashFile: %.0f MiB/s\n", mib / ours);
    std::printf("md5sum:   %.0f MiB/s\n", mib / theirs);
    std::printf("ratio (HashFile / md5sum throughput): %.2f (target >= 0.80)\n", theirs / ours);
    return 0;
}
