#include "Corpus.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "CodecRunner.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

std::string Q(const std::string& text) { return ShellQuote(text); }

// A different tone on every channel, so that a lost or swapped channel shows.
bool MakeTone(const std::string& path, int rate, int channels, const std::string& coding) {
    std::string tones;
    for (int i = 0; i < channels; ++i) tones += " sine " + std::to_string(330 + 110 * i);
    return RunShell("sox -D -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                    " " + coding + " " + Q(path) + " synth " + std::to_string(kCorpusSeconds) +
                    tones + " gain -4 2>/dev/null");
}

// A tone written by Python's wave module, which gives every width the legacy header (format
// type 1, no WAVE_FORMAT_EXTENSIBLE), as many older programs do; bytes is the sample width.
bool MakeLegacyTone(const std::string& path, int bytes) {
    const char* script = R"(
import math, sys, wave
path, width = sys.argv[1], int(sys.argv[2])
peak = (1 << (8 * width - 1)) - 1
frames = bytearray()
for i in range(int(44100 * float(sys.argv[3]))):
    for tone in (330, 440):
        value = int(peak * 0.6 * math.sin(2 * math.pi * tone * i / 44100))
        frames += value.to_bytes(width, "little", signed=True)
with wave.open(path, "wb") as out:
    out.setnchannels(2)
    out.setsampwidth(width)
    out.setframerate(44100)
    out.writeframes(bytes(frames))
)";
    if (!RunShell("python3 -c " + Q(script) + " " + Q(path) + " " + std::to_string(bytes) + " " +
                  std::to_string(kCorpusSeconds))) {
        return false;
    }
    const WavContent made = ReadWav(path);
    EXPECT_TRUE(made.Valid && made.FormatTag == 1 && !made.Extensible &&
                made.BitsPerSample == 8 * bytes)
        << path << " is not a legacy WAV file";
    return made.Valid;
}

void PutLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Appends an "id3 " chunk holding the ID3v2 tag at the start of mp3, the way taggers store
// tags and pictures in WAV files.
bool AppendId3Chunk(const std::string& wav, const std::string& mp3) {
    const std::string tagged = ReadFileBytes(mp3);
    if (tagged.size() < 10 || tagged.compare(0, 3, "ID3") != 0) return false;
    std::uint32_t size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (static_cast<unsigned char>(tagged[i]) & 0x7F);
    const std::string tag = tagged.substr(0, 10 + size);
    std::string bytes = ReadFileBytes(wav);
    std::string chunk = "id3 ....";
    PutLe32(chunk, 4, static_cast<std::uint32_t>(tag.size()));
    chunk += tag;
    if (tag.size() % 2 != 0) chunk += '\0';
    bytes += chunk;
    PutLe32(bytes, 4, static_cast<std::uint32_t>(bytes.size() - 8));
    WriteFileBytes(wav, bytes);
    return true;
}

class CCorpusMaker {
public:
    explicit CCorpusMaker(const std::string& folder) : m_folder(folder), m_made(folder + "/made") {
        fs::create_directories(m_made);
    }

    // A scratch file that is not part of the corpus.
    std::string Scratch(const std::string& name) const { return m_made + "/" + name; }
    std::string Source(const std::string& name) const { return m_folder + "/" + name; }

    // Records name as made when ok; the decoded form has channels at rate.
    void Add(bool ok, const std::string& name, int channels, int rate,
             const std::string& original = {}, bool representative = false) {
        if (!ok || !fs::exists(Source(name))) {
            ADD_FAILURE() << "could not make the test file " << name;
            return;
        }
        m_files.push_back({Source(name), original, channels, rate, representative});
    }

    std::vector<CorpusFile> Take() { return std::move(m_files); }

private:
    std::string m_folder;
    std::string m_made;
    std::vector<CorpusFile> m_files;
};

const char* kFfmpeg = "ffmpeg -v error -nostdin -y ";

void MakeWavFiles(CCorpusMaker& m, const std::string& cover) {
    const std::string plain44 = m.Scratch("44k.wav");
    const std::string plain48 = m.Scratch("48k.wav");
    const std::string six32 = m.Scratch("6ch-32k.wav");
    const std::string three16 = m.Scratch("3ch-16k.wav");
    const std::string tagged = m.Scratch("tag.mp3");
    const std::string mono22 = m.Source("id3 cover, mono 22 kHz.wav");
    const bool base = MakeTone(plain44, 44100, 2, "-b 16") &&
                      MakeTone(plain48, 48000, 2, "-b 16") && MakeTone(six32, 32000, 6, "-b 16") &&
                      MakeTone(three16, 16000, 3, "-b 24");
    ASSERT_TRUE(base) << "sox cannot make the base WAV files";

    // FFmpeg writes a LIST/INFO chunk with the tags, a bext chunk when asked.
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain44)) +
                   " -metadata title=Title -metadata artist=Artist -c:a pcm_s16le " +
                   Q(m.Source("LIST, 16-bit 44 kHz.wav"))),
          "LIST, 16-bit 44 kHz.wav", 2, 44100, {}, true);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain48)) +
                   " -write_bext 1 -metadata description=Take -metadata originator=Recorder"
                   " -c:a pcm_s16le " +
                   Q(m.Source("bext, 16-bit 48 kHz.wav"))),
          "bext, 16-bit 48 kHz.wav", 2, 48000);
    // An ID3v2.3 tag with a picture in an "id3 " chunk after the samples.
    m.Add(MakeTone(mono22, 22050, 1, "-b 16 -t wavpcm") &&
              RunShell(kFfmpeg + ("-i " + Q(plain44) + " -i " + Q(cover)) +
                       " -map 0 -map 1 -c:a libmp3lame -c:v copy -disposition:v attached_pic"
                       " -id3v2_version 3 -metadata title=Title " +
                       Q(tagged)) &&
              AppendId3Chunk(mono22, tagged),
          "id3 cover, mono 22 kHz.wav", 1, 22050);
    // sox writes WAVE_FORMAT_EXTENSIBLE with a fact chunk above 16 bits and above 2 channels.
    m.Add(MakeTone(m.Source("8-bit mono 8 kHz.wav"), 8000, 1, "-b 8 -e unsigned-integer"),
          "8-bit mono 8 kHz.wav", 1, 8000, {}, true);
    m.Add(MakeTone(m.Source("24-bit 96 kHz.wav"), 96000, 2, "-b 24"), "24-bit 96 kHz.wav", 2, 96000,
          {}, true);
    m.Add(MakeTone(m.Source("32-bit 48 kHz.wav"), 48000, 2, "-b 32"), "32-bit 48 kHz.wav", 2,
          48000);
    m.Add(MakeTone(m.Source("float 88 kHz.wav"), 88200, 2, "-b 32 -e floating-point"),
          "float 88 kHz.wav", 2, 88200);
    m.Add(MakeTone(m.Source("5.1 48 kHz.wav"), 48000, 6, "-b 16"), "5.1 48 kHz.wav", 6, 48000, {},
          true);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(six32)) +
                   " -af \"channelmap=map=0|1|2|3|4|5:channel_layout=5.1(side)\""
                   " -metadata title=Title -c:a pcm_s16le " +
                   Q(m.Source("5.1 side, LIST, 32 kHz.wav"))),
          "5.1 side, LIST, 32 kHz.wav", 6, 32000);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(three16)) +
                   " -af \"channelmap=map=0|1|2:channel_layout=2.1\" -c:a pcm_s24le " +
                   Q(m.Source("2.1 24-bit 16 kHz.wav"))),
          "2.1 24-bit 16 kHz.wav", 3, 16000);
    m.Add(MakeTone(m.Source("mono 11 kHz.wav"), 11025, 1, "-b 16 -t wavpcm"), "mono 11 kHz.wav", 1,
          11025);
    // flac only warns about these, so its presets must not make warnings errors.
    m.Add(MakeLegacyTone(m.Source("legacy 24-bit 44 kHz.wav"), 3), "legacy 24-bit 44 kHz.wav", 2,
          44100, {}, true);
    m.Add(MakeLegacyTone(m.Source("legacy 32-bit 44 kHz.wav"), 4), "legacy 32-bit 44 kHz.wav", 2,
          44100);
}

void MakeMp3Files(CCorpusMaker& m, const std::string& png, const std::string& jpeg) {
    struct Mp3 {
        const char* Name;
        int Rate;
        int Channels;
        bool WithFfmpeg;  // for ID3v2.4, which lame does not write
        std::string Options;
        bool Representative;
    };
    const std::vector<Mp3> files = {
        {"MPEG-1 48 kHz, ID3v2.4 cover.mp3", 48000, 2, true,
         "-i " + Q(png) + " -map 0 -map 1 -c:v copy -disposition:v attached_pic -id3v2_version 4",
         false},
        {"MPEG-1 32 kHz mono, ID3v1.mp3", 32000, 1, false, "--id3v1-only --tt Title --ta Artist",
         false},
        {"MPEG-2 24 kHz, ID3v2.3 cover.mp3", 24000, 2, false,
         "--id3v2-only --tt Title --ti " + Q(jpeg), false},
        {"MPEG-2 16 kHz mono, ID3v1 and v2.mp3", 16000, 1, false, "--add-id3v2 --tt Title", false},
        {"MPEG-2.5 11 kHz, ID3v2.3.mp3", 11025, 2, false, "--id3v2-only --tt Title", false},
        {"MPEG-2.5 8 kHz mono, ID3v2.4 cover and v1.mp3", 8000, 1, true,
         "-i " + Q(jpeg) +
             " -map 0 -map 1 -c:v copy -disposition:v attached_pic -id3v2_version 4"
             " -write_id3v1 1",
         true},
    };
    for (const Mp3& file : files) {
        const std::string wav = m.Scratch("mp3 " + std::to_string(file.Rate) + ".wav");
        const std::string out = m.Source(file.Name);
        bool ok = MakeTone(wav, file.Rate, file.Channels, "-b 16");
        if (file.WithFfmpeg) {
            ok = ok && RunShell(kFfmpeg + ("-i " + Q(wav) + " " + file.Options) +
                                " -metadata title=Title -c:a libmp3lame -b:a 64k " + Q(out));
        } else {
            ok = ok && RunShell("lame --quiet " + file.Options + " " + Q(wav) + " " + Q(out));
        }
        m.Add(ok, file.Name, file.Channels, file.Rate, {}, file.Representative);
    }
}

void MakeOtherFiles(CCorpusMaker& m, const std::string& png, const std::string& jpeg) {
    const std::string list44 = m.Source("LIST, 16-bit 44 kHz.wav");
    const std::string s24 = m.Source("24-bit 96 kHz.wav");
    const std::string six = m.Source("5.1 48 kHz.wav");
    const std::string flt = m.Source("float 88 kHz.wav");
    const std::string plain44 = m.Scratch("44k.wav");
    const std::string plain48 = m.Scratch("48k.wav");
    const std::string mono44 = m.Scratch("mono 44k.wav");
    const std::string mono16 = m.Scratch("mono 16k.wav");
    ASSERT_TRUE(MakeTone(mono44, 44100, 1, "-b 16") && MakeTone(mono16, 16000, 1, "-b 16"));

    // FLAC: the foreign-metadata option keeps the LIST chunk in APPLICATION blocks.
    const std::string blocks = m.Source("picture, application, padding.flac");
    m.Add(RunShell("flac -s -f --keep-foreign-metadata --picture=" + Q(png) +
                   " -T TITLE=Title -o " + Q(blocks) + " " + Q(list44) + " 2>/dev/null") &&
              RunShell("metaflac --add-padding=8192 " + Q(blocks)),
          "picture, application, padding.flac", 2, 44100, list44, true);
    m.Add(RunShell("flac -s -f -T ARTIST=Artist -o " + Q(m.Source("24-bit 96 kHz, tags.flac")) +
                   " " + Q(s24) + " 2>/dev/null"),
          "24-bit 96 kHz, tags.flac", 2, 96000, s24);
    m.Add(RunShell("flac -s -f -o " + Q(m.Source("5.1.flac")) + " " + Q(six) + " 2>/dev/null"),
          "5.1.flac", 6, 48000, six);
    // Written to a pipe: no MD5 signature and no length in STREAMINFO.
    m.Add(RunShell(kFfmpeg + ("-i " + Q(mono44)) + " -f flac pipe:1 > " +
                   Q(m.Source("streamed, no MD5.flac"))),
          "streamed, no MD5.flac", 1, 44100, mono44);

    const std::string art = " -map 0 -map 1 -c:v copy -disposition:v attached_pic ";
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain44) + " -i " + Q(png)) + art +
                   "-metadata title=Title -c:a aac -b:a 128k " + Q(m.Source("AAC cover.m4a"))),
          "AAC cover.m4a", 2, 44100, {}, true);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain48) + " -i " + Q(jpeg)) + art +
                   "-metadata title=Title -c:a alac " + Q(m.Source("ALAC cover.m4a"))),
          "ALAC cover.m4a", 2, 48000, plain48);
    // A stereo track first, a 5.1 one second and marked as the default: the file is listed
    // with the first one's properties, and that is the one to convert.
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain44) + " -i " + Q(six)) +
                   " -map 0:a -map 1:a -disposition:a:0 0 -disposition:a:1 default -c:a aac " +
                   Q(m.Source("two audio streams.m4a"))),
          "two audio streams.m4a", 2, 44100);

    m.Add(RunShell("oggenc -Q -t Title -a Artist -c COMMENT=Comment -o " +
                   Q(m.Source("Vorbis tags.ogg")) + " " + Q(plain44)),
          "Vorbis tags.ogg", 2, 44100);
    m.Add(RunShell("opusenc --quiet --title Title --artist Artist --picture " + Q(png) + " " +
                   Q(plain48) + " " + Q(m.Source("tags, picture.opus"))),
          "tags, picture.opus", 2, 48000, {}, true);
    m.Add(RunShell("opusenc --quiet " + Q(mono16) + " " + Q(m.Source("mono 16 kHz.opus"))),
          "mono 16 kHz.opus", 1, 16000);

    // WavPack keeps the source's WAV header (with its LIST chunk) and gives it back.
    m.Add(
        RunShell("wavpack -q -y -w Title=Title --write-binary-tag \"Cover Art (Front)=@" + jpeg +
                 "\" " + Q(list44) + " -o " + Q(m.Source("LIST, tags, cover.wv")) + " 2>/dev/null"),
        "LIST, tags, cover.wv", 2, 44100, list44);
    m.Add(RunShell("wavpack -q -y " + Q(s24) + " -o " + Q(m.Source("24-bit 96 kHz, WavPack.wv"))),
          "24-bit 96 kHz, WavPack.wv", 2, 96000, s24);
    m.Add(RunShell("wavpack -q -y " + Q(flt) + " -o " + Q(m.Source("float, WavPack.wv"))),
          "float, WavPack.wv", 2, 88200, flt);

    m.Add(RunShell("speexenc --quiet --title Title --author Artist " + Q(mono16) + " " +
                   Q(m.Source("Speex tags.spx")) + " 2>/dev/null"),
          "Speex tags.spx", 1, 16000);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain44)) + " -c:a tta " + Q(m.Source("16-bit TTA.tta"))),
          "16-bit TTA.tta", 2, 44100, plain44);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain44)) + " -metadata title=Title -c:a wmav2 " +
                   Q(m.Source("WMA tags.wma"))),
          "WMA tags.wma", 2, 44100);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain48)) + " -metadata title=Title -c:a mp2 " +
                   Q(m.Source("MP2 tags.mp2"))),
          "MP2 tags.mp2", 2, 48000);
    m.Add(RunShell(kFfmpeg + ("-i " + Q(plain44)) + " -c:a aac -f adts " +
                   Q(m.Source("raw AAC.aac"))),
          "raw AAC.aac", 2, 44100);
}

}  // namespace

std::vector<CorpusFile> MakeCorpus(const std::string& folder) {
    CCorpusMaker maker(folder);
    const std::string png = maker.Scratch("cover.png");
    const std::string jpeg = maker.Scratch("cover.jpg");
    const bool covers =
        RunShell(kFfmpeg + std::string("-f lavfi -i color=c=red:s=64x64 -frames:v 1 ") + Q(png)) &&
        RunShell(kFfmpeg + std::string("-f lavfi -i color=c=blue:s=64x64 -frames:v 1 ") + Q(jpeg));
    if (!covers) {
        ADD_FAILURE() << "ffmpeg cannot make the cover pictures";
        return {};
    }
    MakeWavFiles(maker, png);
    MakeMp3Files(maker, png, jpeg);
    MakeOtherFiles(maker, png, jpeg);
    return maker.Take();
}
