#include "session/LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <mutex>

#include "session/WaveSampleReader.h"

namespace {

// Frames read and handed to the library at a time: large enough that a read and a call cost
// nothing beside the filtering of the samples.
constexpr std::int64_t kBlockFrames = 65536;
// libebur128 sets its gating constants, which are globals, on every ebur128_init, and reads
// them when it gives a loudness: meters measuring on several workers take turns at both.
std::mutex g_libraryGlobals;

// The lowest rate the library takes, at which a measured state is kept.
constexpr unsigned long kKeptRate = 16;

int AddBlock(ebur128_state* state, CWaveSampleReader& reader, std::size_t* frames) {
    const int channels = reader.Channels();
    const int bits = reader.BitsPerSample();
    if (reader.IsFloat() || bits == 16) {
        const std::vector<std::uint8_t>& raw = reader.ReadRaw(kBlockFrames);
        *frames = raw.size() / (static_cast<std::size_t>(channels) * (bits / 8));
        if (*frames == 0) return EBUR128_SUCCESS;
        // The library reads the little-endian samples where they were read to (the buffer is
        // aligned for any type): no copy.
        if (bits == 16)
            return ebur128_add_frames_short(state, reinterpret_cast<const short*>(raw.data()),
                                            *frames);
        if (bits == 32)
            return ebur128_add_frames_float(state, reinterpret_cast<const float*>(raw.data()),
                                            *frames);
        return ebur128_add_frames_double(state, reinterpret_cast<const double*>(raw.data()),
                                         *frames);
    }
    // 8, 24 and 32-bit integers, left-aligned in 32 bits as the library's int samples are.
    const std::vector<std::int32_t>& words = reader.ReadWords(kBlockFrames, false);
    *frames = words.size() / static_cast<std::size_t>(channels);
    if (*frames == 0) return EBUR128_SUCCESS;
    static_assert(sizeof(int) == sizeof(std::int32_t));
    return ebur128_add_frames_int(state, reinterpret_cast<const int*>(words.data()), *frames);
}

}  // namespace

struct CLoudnessMeter::State {
    explicit State(ebur128_state* state) : Library(state) {}
    ~State() { ebur128_destroy(&Library); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ebur128_state* Library;
};

CLoudnessMeter::CLoudnessMeter() = default;
CLoudnessMeter::~CLoudnessMeter() = default;

bool CLoudnessMeter::Measure(const std::string& path, std::string* whyNot,
                             const std::atomic<bool>* cancel) {
    std::string why;
    CWaveSampleReader reader;
    const auto fail = [&](const std::string& text) {
        if (whyNot) *whyNot = text;
        m_state.reset();
        return false;
    };
    if (!reader.Open(path, &why)) return fail(why);
    const int channels = reader.Channels();
    const unsigned long rate = reader.Layout().Format.SampleRate;
    if (channels <= 0 || rate == 0) return fail(path + " holds no samples to measure");
    ebur128_state* library = nullptr;
    {
        std::lock_guard lock(g_libraryGlobals);
        library = ebur128_init(static_cast<unsigned>(channels), rate,
                               EBUR128_MODE_I | EBUR128_MODE_SAMPLE_PEAK);
    }
    if (!library) return fail("the loudness of " + path + " cannot be measured at its rate");
    m_state = std::make_unique<State>(library);
    ebur128_state* state = m_state->Library;
    for (;;) {
        if (cancel && cancel->load()) return fail("stopped");
        std::size_t frames = 0;
        if (AddBlock(state, reader, &frames) != EBUR128_SUCCESS)
            return fail("the loudness of " + path + " cannot be measured");
        if (frames == 0) break;
    }
    if (reader.Failed()) return fail(path + " cannot be read to its end");
    std::unique_lock globals(g_libraryGlobals);
    const int measured = ebur128_loudness_global(state, &m_loudness);
    globals.unlock();
    if (measured != EBUR128_SUCCESS)
        return fail("the loudness of " + path + " cannot be measured");
    m_peak = 0.0;
    for (int channel = 0; channel < channels; ++channel) {
        double peak = 0.0;
        if (ebur128_sample_peak(state, static_cast<unsigned>(channel), &peak) == EBUR128_SUCCESS)
            m_peak = std::max(m_peak, peak);
    }
    // An album's loudness needs the gating blocks alone, and the state is kept until the
    // album's last track is done; its sample buffer and filters (a megabyte for a CD track,
    // several for a multichannel one) are let go by making it one channel at the lowest rate,
    // which keeps the blocks measured.
    const int shrunk = ebur128_change_parameters(state, 1, kKeptRate);
    if (shrunk != EBUR128_SUCCESS && shrunk != EBUR128_ERROR_NO_CHANGE) m_state.reset();
    return true;
}

bool CLoudnessMeter::AlbumLoudness(const std::vector<const CLoudnessMeter*>& meters, double* lufs) {
    std::vector<ebur128_state*> states;
    for (const CLoudnessMeter* meter : meters) {
        if (!meter || !meter->m_state) return false;
        states.push_back(meter->m_state->Library);
    }
    if (states.empty()) return false;
    std::lock_guard lock(g_libraryGlobals);
    return ebur128_loudness_global_multiple(states.data(), states.size(), lufs) == EBUR128_SUCCESS;
}
