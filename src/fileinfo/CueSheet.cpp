#include "fileinfo/CueSheet.h"

#include <algorithm>
#include <limits>

#include "base/TextFileUnicode.h"
#include "platform/Charset.h"

namespace {

// What Windows-1252 puts at 0x80-0x9F; 0 where it leaves a code undefined (read as U+FFFD).
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::string FromWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0) {
            const char16_t mapped = kWindows1252High[byte - 0x80];
            AppendUtf8(out, mapped ? mapped : kReplacementCharacter);
        } else {
            AppendUtf8(out, byte);
        }
    }
    return out;
}

// Sheets that are not UTF-8 were written in the code page of the Windows that made them. Which
// one shows in their titles and names: Western European text has a few accented letters among
// plain ones, while in Cyrillic (Windows-1251) and Japanese (Shift-JIS, as Windows' code page
// 932 has it) text a third or more of the letters are bytes above 0x7F.
// Japanese takes two bytes a character, most leading with 0x81-0x9F, where Windows-1251 keeps
// no letters; Cyrillic letters are 0xC0-0xFF (and Ё, ё at 0xA8, 0xB8). Anything else is read as
// Windows-1252.
// The text of a line that names something (a title, a performer, a songwriter): what follows
// its command word; empty for other lines, whose values are numbers, flags and file types.
std::string_view NamingText(std::string_view line) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
    std::string command(line.substr(start, end - start));
    for (char& c : command) c = static_cast<char>(c & ~0x20);
    if (command != "TITLE" && command != "PERFORMER" && command != "SONGWRITER") return {};
    return line.substr(end);
}

std::string FromLegacyCodePage(std::string_view bytes) {
    std::size_t letters = 0, high = 0, cyrillic = 0, japaneseLeads = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string_view::npos) end = bytes.size();
        for (const char c : NamingText(bytes.substr(at, end - at))) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80) {
                const unsigned char lower = byte | 0x20;
                if ((byte >= '0' && byte <= '9') || (lower >= 'a' && lower <= 'z')) ++letters;
                continue;
            }
            ++letters;
            ++high;
            if (byte >= 0xC0 || byte == 0xA8 || byte == 0xB8) ++cyrillic;
            if (byte >= 0x81 && byte <= 0x9F) ++japaneseLeads;
        }
        at = end + 1;
    }
    std::string out;
    if (high > 0 && high * 3 >= letters) {
        if (japaneseLeads * 4 >= high && platform::ConvertToUtf8(bytes, "CP932", &out)) return out;
        if (cyrillic * 10 >= high * 9 && platform::ConvertToUtf8(bytes, "CP1251", &out)) return out;
    }
    return FromWindows1252(bytes);
}

std::string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        units += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    std::string out;
    for (const wchar_t c : Utf16ToWide(units)) AppendUtf8(out, static_cast<char32_t>(c));
    return out;
}

constexpr std::string_view kBlanks = " \t";

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// The first word of text; text keeps what follows it.
std::string_view TakeWord(std::string_view& text) {
    text = Trim(text);
    const auto end = text.find_first_of(kBlanks);
    const std::string_view word = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : Trim(text.substr(end));
    return word;
}

// A value as sheets write it: quoted (a missing closing quote runs to the line's end), or
// bare, when the whole rest of the line is the value. rest gets what follows a quoted value.
std::string TakeValue(std::string_view text, std::string_view* rest = nullptr) {
    text = Trim(text);
    if (!text.empty() && text.front() == '"') {
        const auto close = text.find('"', 1);
        if (rest) {
            *rest =
                close == std::string_view::npos ? std::string_view() : Trim(text.substr(close + 1));
        }
        return std::string(
            text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    }
    if (rest) *rest = {};
    return std::string(text);
}

bool ParseNumber(std::string_view text, std::int64_t limit, std::int64_t& value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

// "MM:SS:FF" (minutes may run past 99); "MM:SS" is read with 0 frames.
bool ParseTime(std::string_view text, std::int64_t& frames) {
    std::int64_t parts[3] = {0, 0, 0};
    int count = 0;
    while (count < 3) {
        const auto colon = text.find(':');
        if (!ParseNumber(text.substr(0, colon), 99999999, parts[count])) return false;
        ++count;
        if (colon == std::string_view::npos) break;
        text.remove_prefix(colon + 1);
        if (count == 3) return false;
    }
    if (count < 2) return false;
    frames = (parts[0] * 60 + parts[1]) * 75 + parts[2];
    return true;
}

// A FILE line's name: quoted, or bare with its type word (WAVE, BINARY, ...) at the end.
std::string FileName(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '"') return TakeValue(text);
    const auto lastBlank = text.find_last_of(kBlanks);
    if (lastBlank == std::string_view::npos) return std::string(text);
    return std::string(Trim(text.substr(0, lastBlank)));
}

}  // namespace

bool CCueSheet::IsValidUtf8(std::string_view text) {
    bool replaced = false;
    for (std::size_t at = 0; at < text.size() && !replaced;) DecodeUtf8(text, at, &replaced);
    return !replaced;
}

std::string CCueSheet::DecodeText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (bytes.substr(0, 2) == "\xFF\xFE") return FromUtf16(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return FromUtf16(bytes.substr(2), true);
    if (IsValidUtf8(bytes)) return std::string(bytes);
    return FromLegacyCodePage(bytes);
}

const CCueSheet::Index* CCueSheet::Track::Start() const {
    for (const Index& index : Indexes) {
        if (index.Number == 1) return &index;
    }
    return nullptr;
}

CCueSheet CCueSheet::Parse(std::string_view bytes) {
    const std::string text = DecodeText(bytes);
    CCueSheet sheet;
    int file = -1;
    Track* track = nullptr;
    Track refused;  // takes the lines of a TRACK without a number it can be listed by
    std::size_t at = 0;
    while (at < text.size()) {
        const auto end = text.find_first_of("\r\n", at);
        std::string_view line(text.data() + at,
                              (end == std::string::npos ? text.size() : end) - at);
        at = end == std::string::npos ? text.size() : end + 1;
        const std::string command = UpperAscii(TakeWord(line));
        if (command == "FILE") {
            sheet.Files.push_back(FileName(line));
            file = static_cast<int>(sheet.Files.size()) - 1;
        } else if (command == "TRACK") {
            std::int64_t number = 0;
            if (!ParseNumber(TakeWord(line), 999, number) || number == 0) {
                // Its lines are let go (they would change the track before it, or the album),
                // and its audio stays with the track before it. A track 0 would also stand for
                // the whole sheet in a saved list.
                refused = {};
                track = &refused;
                continue;
            }
            sheet.Tracks.push_back({});
            track = &sheet.Tracks.back();
            track->Number = static_cast<int>(number);
            track->File = std::max(file, 0);
        } else if (command == "INDEX") {
            std::int64_t number = 0;
            std::int64_t frames = 0;
            if (!track || !ParseNumber(TakeWord(line), 99, number) ||
                !ParseTime(TakeWord(line), frames)) {
                continue;
            }
            track->Indexes.push_back({static_cast<int>(number), std::max(file, 0), frames});
        } else if (command == "TITLE") {
            (track ? track->Title : sheet.Title) = TakeValue(line);
        } else if (command == "PERFORMER") {
            (track ? track->Performer : sheet.Performer) = TakeValue(line);
        } else if (command == "SONGWRITER") {
            (track ? track->Songwriter : sheet.Songwriter) = TakeValue(line);
        } else if (command == "ISRC") {
            if (track) track->Isrc = TakeValue(line);
        } else if (command == "CATALOG") {
            sheet.Catalog = TakeValue(line);
        } else if (command == "REM") {
            const std::string field = UpperAscii(TakeWord(line));
            if (field == "GENRE")
                sheet.Genre = TakeValue(line);
            else if (field == "DATE")
                sheet.Date = TakeValue(line);
            else if (field == "COMMENT" && !track)
                sheet.Comment = TakeValue(line);
        }
    }
    if (sheet.Files.empty()) {
        for (Track& each : sheet.Tracks) each.Indexes.clear();
    }
    return sheet;
}

std::vector<CCueSheet::Span> CCueSheet::Spans() const {
    std::vector<Span> spans;
    for (std::size_t i = 0; i < Tracks.size(); ++i) {
        const Index* start = Tracks[i].Start();
        if (!start) continue;
        Span span{static_cast<int>(i), start->File, start->Frames, -1};
        // The first track of a file holds what comes before its INDEX 01.
        if (spans.empty() || spans.back().File != span.File) span.First = 0;
        if (!spans.empty() && spans.back().File == span.File) spans.back().End = start->Frames;
        spans.push_back(span);
    }
    return spans;
}

std::int64_t CCueSheet::FramesToSamples(std::int64_t frames, std::int32_t sampleRate) {
    if (frames <= 0 || sampleRate <= 0) return 0;
    // A sheet's times and an image's rate are outside input: their product may pass 64 bits.
    constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
    if (frames > kMost / sampleRate) return kMost;
    return frames * sampleRate / 75;
}
