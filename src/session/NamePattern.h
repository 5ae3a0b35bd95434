#pragma once

#include <string>
#include <vector>

#include "tags/NameTags.h"

// A pattern that names outputs after their sources' tags, such as
// "%albumartist%/%album%/%track% - %title%": each "/" of the pattern begins a folder, each
// placeholder stands for a tag or a part of the source's own name. The names it makes are
// safe on every file system an output may land on: a tag's "/" and the characters FAT, exFAT
// and NTFS refuse become "_", no part is empty, ".", ".." or hidden, and every part fits in
// 255 bytes, cut where a UTF-8 character starts.
class CNamePattern {
public:
    explicit CNamePattern(std::string pattern = {});

    bool IsEmpty() const { return m_parts.empty(); }
    const std::string& GetText() const { return m_text; }
    // The first "%word%" (letters only) of the pattern that is no placeholder; empty when
    // there is none. It stays in the names as it is.
    const std::string& UnknownPlaceholder() const { return m_unknown; }
    // Every placeholder, "%artist%" and so on, in the order the manual lists them.
    static std::vector<std::string> Placeholders();

    // The output's path below the output folder for the source at sourcePath with tags,
    // extension (".flac") appended; empty for an empty pattern. The last part leaves room for
    // the extension, a " (2)" and the mark of a file written apart within 255 bytes.
    std::string Expand(const std::string& sourcePath, const NameTags& tags,
                       const std::string& extension) const;
    // Expand with the tags read from the source (none when they cannot be read).
    std::string NameFor(const std::string& sourcePath, const std::string& extension) const;
    // Where the source's output goes: outputFolder (with its trailing "/") and NameFor below
    // it, or, when outputFolder is empty, NameFor's last part beside the source. Empty for
    // an empty pattern.
    std::string OutputPath(const std::string& outputFolder, const std::string& sourcePath,
                           const std::string& extension) const;

private:
    // One "/"-separated part of the pattern: literal texts and placeholders by turns.
    struct Piece {
        bool Placeholder = false;
        std::string Text;  // the literal text, or the placeholder's name without "%"
    };
    using Part = std::vector<Piece>;

    std::string m_text;
    std::string m_unknown;
    std::vector<Part> m_parts;
};
