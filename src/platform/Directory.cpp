#include "platform/Directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace platform {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

unsigned char FoldCase(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c; }

std::uint32_t AttributesOf(int dirFd, const char* name) {
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return 0;
    std::uint32_t attributes = 0;
    if (S_ISLNK(st.st_mode)) {
        attributes |= kAttributeLink;
        struct stat target {};
        if (::fstatat(dirFd, name, &target, 0) == 0) {
            st = target;
        } else {
            st.st_mode = S_IFLNK | S_IWUSR;  // dangling: a link and nothing more
        }
    }
    if (S_ISDIR(st.st_mode)) attributes |= kAttributeDirectory;
    if (name[0] == '.') attributes |= kAttributeHidden;
    if (!(st.st_mode & S_IWUSR)) attributes |= kAttributeReadOnly;
    return attributes == 0 ? kAttributeNormal : attributes;
}

}  // namespace

bool MatchWildcard(const std::string& pattern, const std::string& name) {
    // Greedy matching with one backtrack point: the last "*" seen.
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

bool EnumerationOrderLess(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = FoldCase(static_cast<unsigned char>(a[i]));
        const auto y = FoldCase(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;  // std::string compares as unsigned char
}

bool ListDirectory(const std::string& folder, const std::string& pattern,
                   std::vector<DirectoryEntry>& entries, Error* error) {
    entries.clear();
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        if (error) *error = Error::FromErrno(errno);
        return false;
    }
    const int dirFd = ::dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (!entry) break;
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (!MatchWildcard(pattern, name)) continue;
        entries.push_back({name, AttributesOf(dirFd, name)});
    }
    if (errno != 0) {
        if (error) *error = Error::FromErrno(errno);
        entries.clear();
        return false;
    }
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& a, const DirectoryEntry& b) {
        return EnumerationOrderLess(a.name, b.name);
    });
    return true;
}

}  // namespace platform
