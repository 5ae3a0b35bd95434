#pragma once

#include <string>

// Loudness figures as players read them. Gains are in dB to the ReplayGain 2.0 reference
// (-18 LUFS); peaks are linear sample peaks, 1.0 being full scale.
struct GainFigures {
    double Gain = 0.0;
    double Peak = 0.0;
};

// The gain to -18 LUFS of a track or album of the given integrated loudness (silence, which
// has none, as -70 LUFS).
double ReplayGainOf(double lufs);

// The tag texts: "-6.52 dB", "0.988525"; and, for Opus, the gain to -23 LUFS in Q7.8 (RFC 7845)
// as a decimal integer, clamped to its 16 bits.
std::string GainText(double gain);
std::string PeakText(double peak);
std::string OpusGainText(double gain);

// Writes the track's figures into the audio file at path through TagLib, and removes every
// other gain tag it holds (those copied from its source, album figures included, which
// WriteAlbumGain adds once they are known). Vorbis comments, FLAC, APE, ID3v2 (TXXX frames) and
// MP4 (freeform atoms) take REPLAYGAIN_TRACK_GAIN and REPLAYGAIN_TRACK_PEAK; Opus takes
// R128_TRACK_GAIN alone, its header gain left as it is. False with the reason when the file
// cannot take them.
bool WriteTrackGain(const std::string& path, const GainFigures& track, std::string* error);

// Adds the album's figures (REPLAYGAIN_ALBUM_GAIN and _PEAK, or R128_ALBUM_GAIN for Opus).
bool WriteAlbumGain(const std::string& path, const GainFigures& album, std::string* error);
