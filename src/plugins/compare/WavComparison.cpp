#include "plugins/compare/WavComparison.h"

#include <algorithm>
#include <charconv>

#include "plugins/compare/RawFile.h"

double ComparisonResult::Percent() const {
    if (comparedWords == 0) return 0.0;
    return static_cast<double>(differences) / static_cast<double>(comparedWords) * 100.0;
}

std::string FormatDifference(double percent) {
    // Not printf: the host's toolkit sets the user's locale, and LC_NUMERIC=de_DE would write
    // "12,346". to_chars never reads the locale. The buffer holds any double's fixed form.
    char text[400];
    const auto written =
        std::to_chars(text, text + sizeof text, percent, std::chars_format::fixed, 3);
    return std::string(text, written.ptr) + "%";
}

std::uint32_t CountDifferingWords(const std::uint16_t* original, const std::uint16_t* test) {
    // A 16-bit counter per lane is what lets the compiler vectorise this; a block has no more
    // than 8192 words, so it cannot overflow.
    std::uint16_t count = 0;
    for (std::size_t i = 0; i < CWavComparison::kBlockWords; ++i) {
        count += original[i] != test[i];
    }
    return count;
}

// One call of Compare: the open original, the progress and the stop flag.
class CWavComparison::CRun {
public:
    CRun(CWavComparison& owner, IComparisonSink& sink, const std::atomic<bool>* stop,
         std::uint64_t total)
        : m_owner(owner), m_sink(sink), m_stop(stop), m_total(total) {}

    CRawFile& Original() { return m_original; }
    bool Stopped() const { return m_stop && m_stop->load(std::memory_order_relaxed); }

    ComparisonResult CompareTest(const std::string& testPath) {
        ComparisonResult result;
        CRawFile test;
        if (!m_original.Seek(kHeaderBytes) || !test.Open(testPath) || !test.Seek(kHeaderBytes)) {
            return result;
        }
        const std::size_t readBytes = kBlocksPerRead * kBlockBytes;
        while (!Stopped()) {
            const std::size_t originalBytes = m_original.Read(m_owner.m_original.data(), readBytes);
            const std::size_t testBytes =
                test.Read(m_owner.m_test.data(), std::min(readBytes, originalBytes));
            const std::size_t blocks = std::min(originalBytes, testBytes) / kBlockBytes;
            for (std::size_t block = 0; block < blocks; ++block) {
                const std::size_t offset = block * kBlockWords;
                result.differences +=
                    CountDifferingWords(&m_owner.m_original[offset], &m_owner.m_test[offset]);
                result.comparedWords += kBlockWords;
                m_processed += kBlockBytes;
                m_sink.SetProgressPosition(Position());
            }
            if (testBytes < readBytes) break;
        }
        result.compared = result.comparedWords > 0;
        return result;
    }

private:
    std::int64_t Position() const {
        // The total only falls short of what is processed when the files grew during the run.
        if (m_total == 0) return kProgressRange;
        return static_cast<std::int64_t>(static_cast<double>(m_processed) /
                                         static_cast<double>(m_total) * kProgressRange);
    }

    CWavComparison& m_owner;
    IComparisonSink& m_sink;
    const std::atomic<bool>* m_stop;
    const std::uint64_t m_total;
    std::uint64_t m_processed = 0;  // over all test files: not reset between them
    CRawFile m_original;
};

CWavComparison::CWavComparison()
    : m_original(kBlocksPerRead * kBlockWords), m_test(kBlocksPerRead * kBlockWords) {}

std::uint64_t CWavComparison::ProgressTotal(const std::string& originalPath,
                                            const std::vector<std::string>& testPaths) {
    std::uint64_t sum = 0;
    for (const std::string& path : testPaths) sum += CRawFile::SizeOnDisk(path);
    sum -= sum % kBlockBytes;
    return std::min(sum, CRawFile::SizeOnDisk(originalPath));
}

bool CWavComparison::Compare(const std::string& originalPath,
                             const std::vector<std::string>& testPaths, IComparisonSink& sink,
                             const std::atomic<bool>* stop) {
    CRun run(*this, sink, stop, ProgressTotal(originalPath, testPaths));
    sink.SetProgressRange(0, kProgressRange);
    if (!run.Original().Open(originalPath)) return false;
    for (std::size_t index = 0; index < testPaths.size(); ++index) {
        const ComparisonResult result = run.CompareTest(testPaths[index]);
        if (run.Stopped()) break;
        sink.SetResult(index, result);
    }
    return true;
}
