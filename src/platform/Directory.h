#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Error.h"

namespace platform {

// Bits of the attribute word of a directory entry, with their Windows values so that the rule
// "a folder counts only when its word is exactly 16" keeps its meaning.
constexpr std::uint32_t kAttributeReadOnly = 1;  // owner write bit clear
constexpr std::uint32_t kAttributeHidden = 2;    // name starts with "."
constexpr std::uint32_t kAttributeDirectory = 16;
constexpr std::uint32_t kAttributeNormal = 128;  // a file with none of the other bits
constexpr std::uint32_t kAttributeLink = 1024;   // symbolic link

struct DirectoryEntry {
    std::string name;
    std::uint32_t attributes = 0;
};

// The entries of folder whose names match pattern ("*" any run of characters, "?" one byte,
// everything else literal and case-sensitive), without "." and "..", in enumeration order.
// Links are not followed except to learn whether they point to a directory. False (with the
// error) when the folder cannot be opened or read; true with an empty list when nothing matched.
bool ListDirectory(const std::string& folder, const std::string& pattern,
                   std::vector<DirectoryEntry>& entries, Error* error = nullptr);

// True when name matches the wildcard pattern as ListDirectory matches it.
bool MatchWildcard(const std::string& pattern, const std::string& name);

// The order folder listings are returned in: names compared without regard to ASCII case
// (folded to upper case, as Windows disks sort them), ties broken by byte order. Use this
// wherever a list must come out in the same order on every file system.
bool EnumerationOrderLess(const std::string& a, const std::string& b);

}  // namespace platform
