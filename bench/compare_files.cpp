// Compares a 256 MiB original with a test file that differs in a few words, with SampleMatch's
// comparison and with `cmp -l` on the same pair, and with `cmp` on an identical pair, in the
// same run on the same (cached) files; prints the throughputs and the ratios.
// Target: at least 2 x cmp's throughput.
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
#include "plugins/compare/WavComparison.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileSize = std::size_t{256} << 20;
constexpr int kRounds = 3;
constexpr int kChangedWords = 16;

using bench::Seconds;

std::vector<char> RandomBytes() {
    std::vector<char> bytes(kFileSize);
    std::mt19937_64 random(2024);
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        const std::uint64_t value = random();
        std::copy_n(reinterpret_cast<const char*>(&value), 8, &bytes[i]);
    }
    return bytes;
}

bool Write(const fs::path& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

struct CCountingSink final : IComparisonSink {
    void SetProgressRange(int, int) override {}
    void SetProgressPosition(std::int64_t) override {}
    void SetResult(std::size_t, const ComparisonResult& r) override { result = r; }
    ComparisonResult result;
};

// The best of kRounds wall times of action.
template <class Action>
double Best(Action action) {
    double best = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        if (!action()) std::exit(1);
        best = std::min(best, Seconds(std::chrono::steady_clock::now() - start));
    }
    return best;
}

}  // namespace

int main() {
    const fs::path folder = fs::temp_directory_path() /
                            ("kelto-compare-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const fs::path original = folder / "original.wav";
    const fs::path test = folder / "test.wav";
    const fs::path copy = folder / "copy.wav";
    std::vector<char> bytes = RandomBytes();
    bool written = Write(original, bytes) && Write(copy, bytes);
    std::mt19937 random(7);
    for (int i = 0; i < kChangedWords; ++i) {
        const std::size_t word = (random() % ((kFileSize - 44) / 2));
        bytes[44 + 2 * word] ^= 0x5a;
    }
    written = written && Write(test, bytes);
    bytes = {};
    if (!written) {
        std::fprintf(stderr, "cannot write the files in %s\n", folder.c_str());
        fs::remove_all(folder);
        return 1;
    }

    const std::string quoted = "'" + original.string() + "' '";
    // Not to /dev/null: cmp then stops at the first difference, as if silent.
    const std::string cmpList =
        "cmp -l " + quoted + test.string() + "' > '" + (folder / "cmp.txt").string() + "'";
    const std::string cmpSame = "cmp " + quoted + copy.string() + "'";
    CWavComparison comparison;
    CCountingSink sink;
    const auto ours = [&] {
        return comparison.Compare(original.string(), {test.string()}, sink) && sink.result.compared;
    };
    ours();  // brings the files into the page cache for every contender
    [[maybe_unused]] const int warmed = std::system(cmpSame.c_str());  // only warms the cache
    const double oursTime = Best(ours);
    // cmp -l exits with 1 when the files differ, as they do.
    const double cmpListTime = Best([&] { return std::system(cmpList.c_str()) != -1; });
    const double cmpSameTime = Best([&] { return std::system(cmpSame.c_str()) == 0; });
    fs::remove_all(folder);

    const double mib = 2.0 * static_cast<double>(kFileSize) / (1 << 20);  // both files are read
    std::printf("differing words found: %llu (changed: %d)\n",
                static_cast<unsigned long long>(sink.result.differences), kChangedWords);
    std::printf("SampleMatch:            %6.0f MiB/s\n", mib / oursTime);
    std::printf("cmp -l (differing pair): %6.0f MiB/s\n", mib / cmpListTime);
    std::printf("cmp (identical pair):    %6.0f MiB/s\n", mib / cmpSameTime);
    std::printf("ratio against cmp -l: %.2f\n", cmpListTime / oursTime);
    std::printf("ratio against cmp:    %.2f (target >= 2.00)\n", cmpSameTime / oursTime);
    return 0;
}
