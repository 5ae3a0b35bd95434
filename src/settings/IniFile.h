#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Error.h"

// An INI file held in memory with the behaviour of the Windows profile functions: sections and
// keys match without regard to ASCII case, the first match wins, values are read with their
// surrounding blanks and one pair of enclosing quotes removed, and writing replaces a value in
// place or adds the key (and its section) while every other line stays exactly as it was.
// A settings save writes many keys; keeping the file in memory lets it be parsed once and
// replaced once, atomically, instead of being rewritten for every key.
class CIniFile {
public:
    CIniFile() = default;

    // Reads the file. A missing file reads as empty and succeeds; any other error fails, and the
    // file then refuses to be saved so that a file that could not be read is never replaced.
    // A file whose text is no INI text (TextProblem) fails too and reads as empty; its text is
    // kept, and the first Save writes it to KeptCopyPath before it replaces the file.
    bool Load(const std::string& path);
    // Takes the text of an INI file.
    void Parse(std::string_view text);
    // Why text cannot be an INI file: it holds NUL bytes (binary data, or a text encoding this
    // reader does not take), or none of its lines is a section, a key, a comment or blank.
    // Empty when it can: unknown keys and odd lines among good ones are no reason.
    static std::string TextProblem(std::string_view text);
    // Why the last Load failed: the system's reason when the file could not be read, or what
    // makes it no INI text; empty after a Load that succeeded.
    std::string LoadProblem() const;
    // Where the text of a file that was no INI text is kept when the file is saved over: the
    // path with ".bad" appended. Empty when there is no such text.
    std::string KeptCopyPath(const std::string& path) const;

    // The value of key in section; false when there is no such key.
    bool Find(std::string_view section, std::string_view key, std::string& value) const;
    // The value, or defaultText when the key is missing.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultText) const;
    // Sets the value. Fails for a section or key that cannot be written as one and for a
    // value with a line break, which would split into further lines.
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);

    // A byte block as two upper-case hex digits per byte and a checksum byte (the sum of the
    // bytes modulo 256). Reading fails for a missing key, a wrong length or checksum.
    bool GetStruct(std::string_view section, std::string_view key, void* bytes,
                   std::size_t size) const;
    bool WriteStruct(std::string_view section, std::string_view key, const void* bytes,
                     std::size_t size);

    bool IsModified() const { return m_modified; }
    // The file's text as it would be written.
    std::string Text() const;
    // Writes the text to a temporary file beside path and renames it over path.
    bool Save(const std::string& path);
    const platform::Error& LastError() const { return m_error; }

private:
    enum class LineKind { kOther, kSection, kKey };
    struct Line {
        std::string text;  // without the line terminator
        std::string end;   // "\n", "\r\n" or "" (last line without one)
        LineKind kind = LineKind::kOther;
        std::string name;  // section name or key, trimmed
    };

    static Line ParseLine(std::string text, std::string end);
    static std::string ValueOf(const Line& line);
    // Index of the first line of the first section named so, or npos.
    std::size_t FindSection(std::string_view section) const;
    // Index of the key line within the section starting at sectionLine, or npos.
    std::size_t FindKey(std::size_t sectionLine, std::string_view key) const;
    // Index after the last non-blank line of the section starting at sectionLine.
    std::size_t SectionEnd(std::size_t sectionLine) const;
    void InsertLine(std::size_t index, Line line);
    std::string NewLineEnd() const;

    // Writes text to a temporary file beside target and renames it over target.
    bool WriteReplacing(const std::string& target, const std::string& text);

    std::vector<Line> m_lines;
    bool m_byteOrderMark = false;
    bool m_unreadable = false;
    // The text of a loaded file that was no INI text, until it is kept elsewhere.
    bool m_garbled = false;
    std::string m_garbledText;
    std::string m_garbledReason;
    bool m_modified = false;
    platform::Error m_error;
};
