#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// The loudness of one track, measured by libebur128 (EBU R128: integrated loudness with its
// gating, and the sample peak) over the samples of a WAV file. The measuring state is kept, so
// that the loudness of an album, gated over all of its tracks together, can be had from the
// meters of its tracks.
class CLoudnessMeter {
public:
    CLoudnessMeter();
    ~CLoudnessMeter();
    CLoudnessMeter(const CLoudnessMeter&) = delete;
    CLoudnessMeter& operator=(const CLoudnessMeter&) = delete;

    // Reads every sample of the WAV file at path; false with the reason (naming the file) when
    // it cannot be read or measured, or "stopped" when cancel was set meanwhile. Of the
    // measuring state only what AlbumLoudness needs is kept.
    bool Measure(const std::string& path, std::string* whyNot,
                 const std::atomic<bool>* cancel = nullptr);

    // After Measure: integrated loudness in LUFS (-HUGE_VAL for silence) and the highest
    // sample of any channel, 1.0 being full scale.
    double Loudness() const { return m_loudness; }
    double Peak() const { return m_peak; }

    // The integrated loudness of the tracks measured by meters together; false when one of
    // them measured nothing.
    static bool AlbumLoudness(const std::vector<const CLoudnessMeter*>& meters, double* lufs);

private:
    // The library's measuring state (its type is an unnamed struct, which cannot be declared
    // here).
    struct State;
    std::unique_ptr<State> m_state;
    double m_loudness = 0.0;
    double m_peak = 0.0;
};
