#include "cli/CliOptions.h"

#include <charconv>

#include "session/NamePattern.h"
#include "session/Shard.h"

namespace {

constexpr int kMaxThreads = 256;
constexpr int kLowestMaxRate = 8000;

std::string PlaceholderList() {
    std::string list;
    for (const std::string& name : CNamePattern::Placeholders()) {
        list += (list.empty() ? "" : " ") + name;
    }
    return list;
}

bool ParseCount(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

int ExistingOutputForName(const std::string& name) {
    static const char* const kNames[] = {"overwrite", "skip", "keep", "update"};
    for (int i = 0; i < 4; ++i) {
        if (name == kNames[i]) return i;
    }
    return -1;
}

int PriorityIndexForName(const std::string& name) {
    static const char* const kNames[] = {"idle", "normal", "high", "realtime"};
    for (int i = 0; i < 4; ++i) {
        if (name == kNames[i]) return i;
    }
    return -1;
}

// Takes the value of an option: the text after "=", else the next argument.
class CArgumentReader {
public:
    explicit CArgumentReader(const std::vector<std::string>& args) : m_args(args) {}

    bool Next() {
        if (m_at >= m_args.size()) return false;
        m_current = m_args[m_at++];
        m_inlineValue.reset();
        const auto equals = m_current.find('=');
        if (m_current.rfind("--", 0) == 0 && equals != std::string::npos) {
            m_inlineValue = m_current.substr(equals + 1);
            m_current.resize(equals);
        }
        return true;
    }
    const std::string& Current() const { return m_current; }
    bool HasInlineValue() const { return m_inlineValue.has_value(); }
    bool Value(std::string& value, std::string& error) {
        if (m_inlineValue) {
            value = *m_inlineValue;
            return true;
        }
        if (m_at >= m_args.size()) {
            error = "option " + m_current + " needs a value";
            return false;
        }
        value = m_args[m_at++];
        return true;
    }
    void TakeRest(std::vector<std::string>& out) {
        while (m_at < m_args.size()) out.push_back(m_args[m_at++]);
    }

private:
    const std::vector<std::string>& m_args;
    std::size_t m_at = 0;
    std::string m_current;
    std::optional<std::string> m_inlineValue;
};

bool ReadValueOption(CArgumentReader& reader, CliOptions& options, std::string& error) {
    const std::string name = reader.Current();
    std::string value;
    if (!reader.Value(value, error)) return false;
    if (name == "--coder") {
        options.Coder = value;
    } else if (name == "--preset") {
        options.Preset = value;
    } else if (name == "--output") {
        options.Output = value;
    } else if (name == "--workdir") {
        options.WorkDir = value;
    } else if (name == "--threads") {
        int count = 0;
        if (!ParseCount(value, count) || count < 1 || count > kMaxThreads) {
            error = "--threads takes a number from 1 to " + std::to_string(kMaxThreads) +
                    ", not '" + value + "'";
            return false;
        }
        options.Threads = count;
    } else if (name == "--max-rate") {
        int rate = 0;
        if (!ParseCount(value, rate) || (rate != 0 && rate < kLowestMaxRate)) {
            error = "--max-rate takes a sample rate in Hz of at least " +
                    std::to_string(kLowestMaxRate) + ", or 0 for none, not '" + value + "'";
            return false;
        }
        options.MaxSampleRate = rate;
    } else if (name == "--max-bits") {
        int bits = 0;
        if (!ParseCount(value, bits) || (bits != 0 && bits != 16 && bits != 24)) {
            error = "--max-bits takes 16 or 24, or 0 for none, not '" + value + "'";
            return false;
        }
        options.MaxBitDepth = bits;
    } else if (name == "--name") {
        if (const std::string unknown = CNamePattern(value).UnknownPlaceholder(); !unknown.empty()) {
            error = "--name: " + unknown + " is no placeholder (known: " + PlaceholderList() + ")";
            return false;
        }
        options.NamePattern = value;
    } else if (name == "--shard") {
        CShard shard;
        if (!CShard::Parse(value, shard, error)) return false;
        options.Shard = value;
    } else if (name == "--existing") {
        const int policy = ExistingOutputForName(value);
        if (policy < 0) {
            error = "--existing takes overwrite, skip, keep or update, not '" + value + "'";
            return false;
        }
        options.ExistingOutput = policy;
    } else {  // --priority
        const int index = PriorityIndexForName(value);
        if (index < 0) {
            error = "--priority takes idle, normal, high or realtime, not '" + value + "'";
            return false;
        }
        options.PriorityIndex = index;
    }
    if (value.empty() && name != "--preset" && name != "--coder" && name != "--name") {
        error = "option " + name + " needs a value";
        return false;
    }
    return true;
}

bool ReadFlag(const std::string& name, CliOptions& options) {
    struct Flag {
        const char* name;
        bool CliOptions::*field;
    };
    static const Flag kFlags[] = {
        {"--decode-only", &CliOptions::DecodeOnly},
        {"--list-coders", &CliOptions::ListCoders},
        {"--info", &CliOptions::Info},
        {"--dry-run", &CliOptions::DryRun},
        {"--help", &CliOptions::Help},
        {"--version", &CliOptions::Version},
        {"--keep-tree", &CliOptions::KeepTree},
    };
    for (const Flag& flag : kFlags) {
        if (name == flag.name) {
            options.*flag.field = true;
            return true;
        }
    }
    if (name == "-h") {
        options.Help = true;
        return true;
    }
    if (name == "--copy-tags" || name == "--no-copy-tags") {
        options.CopyTags = name == "--copy-tags";
        return true;
    }
    if (name == "--verify" || name == "--no-verify") {
        options.FullCheck = name == "--verify" ? 2 : 0;
        return true;
    }
    if (name == "--loudness" || name == "--no-loudness") {
        options.LoudnessTags = name == "--loudness";
        return true;
    }
    return false;
}

bool IsValueOption(const std::string& name) {
    return name == "--coder" || name == "--preset" || name == "--threads" || name == "--priority" ||
           name == "--output" || name == "--workdir" || name == "--existing" ||
           name == "--name" || name == "--shard" || name == "--max-rate" ||
           name == "--max-bits";
}

}  // namespace

bool CliOptions::Parse(const std::vector<std::string>& args, CliOptions& options,
                       std::string& error) {
    CArgumentReader reader(args);
    while (reader.Next()) {
        const std::string& arg = reader.Current();
        if (arg == "--") {
            reader.TakeRest(options.Inputs);
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            options.Inputs.push_back(arg);
        } else if (IsValueOption(arg)) {
            if (!ReadValueOption(reader, options, error)) return false;
        } else if (!reader.HasInlineValue() && ReadFlag(arg, options)) {
            continue;
        } else {
            error = "unknown option " + arg;
            return false;
        }
    }
    if (options.DecodeOnly && options.Coder) {
        error = "--decode-only and --coder exclude each other";
        return false;
    }
    if (options.DecodeOnly && options.Preset) {
        error = "--decode-only takes no --preset";
        return false;
    }
    return true;
}

const char* CliOptions::Usage() {
    return "Usage: kelto-cli [options] INPUT...\n"
           "Converts audio files with the coder and decoder programs of the working folder.\n"
           "Each INPUT is an audio file, a folder (added with its subfolders), an .m3u\n"
           "playlist or a .cue sheet (the tracks of its image).\n"
           "\n"
           "Options:\n"
           "  --coder NAME        coder by display name or index (default: the saved one)\n"
           "  --preset NAME       preset by name or index (default: the saved one, or the\n"
           "                      first preset of a coder given with --coder)\n"
           "  --decode-only       decode to WAV files only (the pass-through coder)\n"
           "  --threads N         jobs run at the same time (default: the saved count)\n"
           "  --priority P        idle, normal, high or realtime (default: normal)\n"
           "  --output DIR        write outputs into DIR (made when missing) instead of beside\n"
           "                      their sources\n"
           "  --keep-tree         with --output, write the files of an INPUT folder into the\n"
           "                      same tree below DIR, starting with the folder's own name\n"
           "  --existing WHAT     an output that exists already: overwrite, skip\n"
           "                      (the file is not converted) or keep (the new output gets\n"
           "                      \" (2)\" before its extension) or update (skip a file\n"
           "                      whose output kelto recorded and whose source and settings\n"
           "                      are unchanged; convert a changed one again under the same\n"
           "                      name, a new one as new); default: the saved setting\n"
           "  --name PATTERN      name each output after its source's tags, below DIR in\n"
           "                      place of the kept tree (beside the sources: the file name\n"
           "                      only), e.g. '%albumartist%/%album%/%track% - %title%';\n"
           "                      placeholders: %artist% %albumartist% %album% %title%\n"
           "                      %track% %disc% %year% %genre% %composer% %name% %stem%\n"
           "                      %folder%; '' names outputs after their sources\n"
           "                      (default: the saved setting)\n"
           "  --shard K/N         convert only the K-th of N shares of the inputs' files,\n"
           "                      split by each file's path below its input, so that N\n"
           "                      machines convert a library together, each file once\n"
           "  --max-rate HZ       the highest sample rate of an output: a source above it\n"
           "                      is resampled when decoded (sox resampler) to the highest\n"
           "                      rate of its family within it (88200 to 44100, 96000 to\n"
           "                      48000); 0: no limit (default: the saved setting)\n"
           "  --max-bits N        the highest bit depth, 16 or 24: a source above it is\n"
           "                      reduced with triangular dither; sources within both\n"
           "                      limits are left untouched; 0: no limit\n"
           "  --copy-tags         copy tags and cover art from each source to its output\n"
           "                      (default: the saved setting, on when none is saved)\n"
           "  --no-copy-tags      leave the outputs' tags as the coder wrote them\n"
           "  --verify            decode every output again and compare it with its source\n"
           "                      (without it, the setting: by default lossless outputs only)\n"
           "  --no-verify         only the quick check of every output (it is there, of its\n"
           "                      format and as long as its source)\n"
           "  --loudness          write track and album gain and peak tags to every output\n"
           "                      (ReplayGain 2.0 at -18 LUFS; R128 gains for Opus),\n"
           "                      measured from the output as it plays\n"
           "  --no-loudness       write no gain tags (default: the saved setting)\n"
           "  --workdir DIR       working folder with Settings.ini, Languages, Coders,\n"
           "                      Decoders, Codecs and Base.xml (default: the current one\n"
           "                      when it holds Languages, else, when kelto is installed,\n"
           "                      ~/.local/share/kelto, made when missing)\n"
           "  --list-coders       print every coder and decoder as JSON lines\n"
           "  --info              print every listed file's properties as JSON lines\n"
           "  --dry-run           print every file's prepared jobs as JSON lines\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "Ctrl+C or SIGTERM stops the run. Exit status: 0 when every job succeeded, 1 when a\n"
           "job failed or the run was stopped, 2 for a usage error or an unusable input.\n";
}
