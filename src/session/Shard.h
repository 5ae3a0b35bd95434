#pragma once

#include <string>

// One of N shares of a library converted on several machines at once. Which share a file
// belongs to depends only on its path relative to the input it came from (the folder added,
// the playlist's folder, or nothing but its name for a file named by itself), so machines
// that mount the library at different places agree, and every file is in exactly one share.
class CShard {
public:
    // The whole library: share 1 of 1.
    CShard() = default;
    // Reads "K/N" (K from 1 to N); false with a message otherwise.
    static bool Parse(const std::string& text, CShard& shard, std::string& error);

    bool IsWhole() const { return m_count == 1; }
    int GetIndex() const { return m_index; }
    int GetCount() const { return m_count; }
    // Whether the file at path, found below base (a folder; empty for a file named by
    // itself), is in this share.
    bool Holds(const std::string& path, const std::string& base) const;
    // The share, 1 to count, of a path relative to its input.
    static int ShareOf(const std::string& relative, int count);

private:
    int m_index = 1;
    int m_count = 1;
};
