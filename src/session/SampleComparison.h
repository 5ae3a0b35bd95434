#pragma once

#include <atomic>
#include <string>

class CWaveSampleReader;

// What comparing a decoded output with the samples it was made from found.
struct SampleComparison {
    bool Equal = false;
    bool Stopped = false;    // cancel was set
    std::string Difference;  // where they differ, in plain words; empty when equal
    bool Reduced = false;    // compared at less than the reference's resolution
    std::string Note;        // how, when Reduced
};

// Compares every sample of decoded with reference, front to back in large blocks, at the
// resolution the coder keeps: the upper heldBits bits (0 for all), and no more than decoded
// holds. Float references against integer outputs are converted as FFmpeg converts them.
// Both readers must be freshly opened. cancel, when set by another thread, ends it early.
SampleComparison CompareWaveSamples(CWaveSampleReader& reference, CWaveSampleReader& decoded,
                                    int heldBits, const std::atomic<bool>* cancel);
