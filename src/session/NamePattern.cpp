#include "session/NamePattern.h"

#include <algorithm>
#include <string_view>

#include "base/Paths.h"

namespace {

// The longest file name Linux file systems take (NAME_MAX).
constexpr std::size_t kLongestName = 255;
// What a name may still grow by once made: " (9999)" when its output is numbered and
// ".kelto-new9999" while it is written apart.
constexpr std::size_t kMarkRoom = 7 + 14;

const char* const kPlaceholders[] = {"artist",   "albumartist", "album", "title",
                                     "track",    "disc",        "year",  "genre",
                                     "composer", "name",        "stem",  "folder"};

bool IsPlaceholder(const std::string& word) {
    return std::find_if(std::begin(kPlaceholders), std::end(kPlaceholders), [&](const char* known) {
               return word == known;
           }) != std::end(kPlaceholders);
}

// The length of the UTF-8 sequence at text[at], or 0 when none starts there.
std::size_t SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned int low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

// text with every byte that is no part of valid UTF-8, every control character, "/" and
// what FAT, exFAT or NTFS refuse in a name replaced by "_".
std::string SafeCharacters(const std::string& text) {
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (length == 0) {
            safe += '_';
            ++at;
            continue;
        }
        if (length == 1 && (c < 0x20 || c == 0x7F ||
                            std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) !=
                                std::string_view::npos)) {
            safe += '_';
        } else {
            safe.append(text, at, length);
        }
        at += length;
    }
    return safe;
}

// The names Windows keeps for its devices, with or without an extension.
bool IsDeviceName(const std::string& part) {
    std::string stem = part.substr(0, part.find('.'));
    for (char& c : stem) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

// part as a name every file system takes: without blanks at its ends, not beginning with "."
// (no ".", "..", nor a hidden file), not ending with "." (Windows drops it), no device name,
// and at most room bytes, cut where a character starts. Empty only when part holds nothing.
std::string SafePart(std::string part, std::size_t room) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!part.empty() && blank(part.back())) part.pop_back();
    std::size_t start = 0;
    while (start < part.size() && blank(part[start])) ++start;
    part.erase(0, start);
    if (part.empty()) return part;
    if (part.front() == '.') part.front() = '_';
    if (part.size() > room) {
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(part[cut]) & 0xC0) == 0x80) --cut;
        part.resize(cut);
        while (!part.empty() && blank(part.back())) part.pop_back();
    }
    if (!part.empty() && part.back() == '.') part.back() = '_';
    if (IsDeviceName(part)) part += '_';
    return part;
}

// A track or disc number with at least two digits ("3/12" gives "03"); text that does not
// begin with a number is kept as it is.
std::string PaddedNumber(const std::string& text) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) return text;
    std::string number = text.substr(0, digits);
    number.erase(0, std::min(number.find_first_not_of('0'), number.size() - 1));
    return number.size() < 2 ? "0" + number : number;
}

std::string Year(const std::string& date) {
    const bool leadingYear =
        date.size() >= 4 &&
        std::all_of(date.begin(), date.begin() + 4, [](char c) { return c >= '0' && c <= '9'; });
    return leadingYear ? date.substr(0, 4) : date;
}

// A tag of blanks and control characters only says nothing.
bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::string Either(const std::string& first, const std::string& second,
                   const std::string& third = {}) {
    if (!IsBlank(first)) return first;
    return !IsBlank(second) ? second : third;
}

std::string Value(const std::string& name, const std::string& sourcePath, const NameTags& tags) {
    const std::string file = PathFileName(sourcePath);
    const std::string stem = file.substr(0, file.size() - PathExtension(file).size());
    if (name == "artist") return Either(tags.Artist, tags.AlbumArtist, "Unknown Artist");
    if (name == "albumartist") return Either(tags.AlbumArtist, tags.Artist, "Unknown Artist");
    if (name == "album") return Either(tags.Album, "Unknown Album");
    if (name == "title") return Either(tags.Title, stem);
    if (name == "track") return Either(PaddedNumber(tags.Track), "00");
    if (name == "disc") return Either(PaddedNumber(tags.Disc), "01");
    if (name == "year") return Either(Year(tags.Date), "Unknown Year");
    if (name == "genre") return Either(tags.Genre, "Unknown Genre");
    if (name == "composer") return Either(tags.Composer, "Unknown Composer");
    if (name == "name") return file;
    if (name == "stem") return stem;
    return PathFileName(PathFolder(sourcePath));  // folder
}

}  // namespace

CNamePattern::CNamePattern(std::string pattern) : m_text(std::move(pattern)) {
    std::size_t at = 0;
    while (at <= m_text.size()) {
        std::size_t end = m_text.find('/', at);
        if (end == std::string::npos) end = m_text.size();
        Part part;
        std::size_t i = at;
        while (i < end) {
            const std::size_t open = m_text.find('%', i);
            const std::size_t close = open < end ? m_text.find('%', open + 1) : std::string::npos;
            if (open >= end || close >= end) {
                part.push_back({false, m_text.substr(i, end - i)});
                break;
            }
            const std::string word = m_text.substr(open + 1, close - open - 1);
            if (!IsPlaceholder(word)) {
                const bool looksLikeOne =
                    !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
                        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
                    });
                if (looksLikeOne && m_unknown.empty()) m_unknown = "%" + word + "%";
                // Not a placeholder: the first "%" is text, the second may open one.
                part.push_back({false, m_text.substr(i, close - i)});
                i = close;
                continue;
            }
            if (open > i) part.push_back({false, m_text.substr(i, open - i)});
            part.push_back({true, word});
            i = close + 1;
        }
        // Empty parts ("a//b", a leading "/") name nothing.
        if (!part.empty()) m_parts.push_back(std::move(part));
        at = end + 1;
    }
}

std::vector<std::string> CNamePattern::Placeholders() {
    std::vector<std::string> all;
    for (const char* name : kPlaceholders) all.push_back("%" + std::string(name) + "%");
    return all;
}

std::string CNamePattern::Expand(const std::string& sourcePath, const NameTags& tags,
                                 const std::string& extension) const {
    std::string path;
    for (std::size_t i = 0; i < m_parts.size(); ++i) {
        const bool last = i + 1 == m_parts.size();
        std::string text;
        for (const Piece& piece : m_parts[i]) {
            text += SafeCharacters(piece.Placeholder ? Value(piece.Text, sourcePath, tags)
                                                     : piece.Text);
        }
        const std::size_t room =
            last ? kLongestName - std::min(kLongestName - 1, extension.size() + kMarkRoom)
                 : kLongestName;
        std::string part = SafePart(std::move(text), room);
        if (part.empty()) {
            // A folder part that comes out empty is left out; the name never is.
            if (!last) continue;
            part = SafePart(SafeCharacters(Value("stem", sourcePath, tags)), room);
            if (part.empty()) part = "_";
        }
        path += (path.empty() ? "" : "/") + part;
    }
    return path.empty() ? path : path + extension;
}

std::string CNamePattern::NameFor(const std::string& sourcePath,
                                  const std::string& extension) const {
    if (IsEmpty()) return {};
    NameTags tags;
    ReadNameTags(sourcePath, tags);
    return Expand(sourcePath, tags, extension);
}

std::string CNamePattern::OutputPath(const std::string& outputFolder, const std::string& sourcePath,
                                     const std::string& extension) const {
    const std::string name = NameFor(sourcePath, extension);
    if (name.empty()) return name;
    if (!outputFolder.empty()) return outputFolder + name;
    const std::string folder = PathFolder(sourcePath);
    return (folder == "/" ? folder : folder + "/") + PathFileName(name);
}
