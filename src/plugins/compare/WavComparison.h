#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the comparison found for one test file.
struct ComparisonResult {
    // False when the test file could not be opened or had no full block to compare: then
    // there is no share to tell.
    bool compared = false;
    std::uint64_t differences = 0;
    std::uint64_t comparedWords = 0;

    // The share of differing words in percent; 0 when nothing was compared.
    double Percent() const;
};

// The share as the list shows it: three decimals and a percent sign, "12.346%".
std::string FormatDifference(double percent);

// Where a comparison reports to. It calls from the thread that runs Compare.
class IComparisonSink {
public:
    // Once, at the start.
    virtual void SetProgressRange(int low, int high) = 0;
    // After every compared block; with several test files the position can pass the range.
    virtual void SetProgressPosition(std::int64_t position) = 0;
    // After test file index is done, in list order.
    virtual void SetResult(std::size_t index, const ComparisonResult& result) = 0;

protected:
    ~IComparisonSink() = default;
};

// Compares test WAV files with an original as 16-bit words from byte 44 on, block by block,
// and counts the words whose bit patterns differ. Headers are not parsed: what a coder and a
// decoder did to the samples is what it measures.
class CWavComparison {
public:
    static constexpr std::size_t kHeaderBytes = 44;
    static constexpr std::size_t kBlockBytes = 16384;
    static constexpr std::size_t kBlockWords = kBlockBytes / 2;
    static constexpr int kProgressRange = 1000;

    CWavComparison();

    // Runs the whole comparison. False, with no result delivered, when the original cannot be
    // opened. A set stop flag ends the run after the block in hand, with no further result.
    bool Compare(const std::string& originalPath, const std::vector<std::string>& testPaths,
                 IComparisonSink& sink, const std::atomic<bool>* stop = nullptr);

    // The denominator of the progress position: the test files' sizes added up, down to whole
    // blocks, but no more than the original's size.
    static std::uint64_t ProgressTotal(const std::string& originalPath,
                                       const std::vector<std::string>& testPaths);

private:
    // Files are read several blocks at a time; blocks are still compared and counted one by
    // one, so the results are those of reading block by block.
    static constexpr std::size_t kBlocksPerRead = 16;

    class CRun;

    std::vector<std::uint16_t> m_original;
    std::vector<std::uint16_t> m_test;
};

// The number of unequal words at equal positions of two blocks of kBlockWords words.
std::uint32_t CountDifferingWords(const std::uint16_t* original, const std::uint16_t* test);
