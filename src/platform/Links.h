#pragma once

#include <string>

#include "platform/Error.h"

namespace platform {

// What an entry is in itself, a symbolic link not followed.
enum class EntryKind { Missing, Regular, Directory, Link, Other };
EntryKind GetEntryKind(const std::string& path);

// The permission bits (mode & 07777) of what path names, links followed; 0 when unknown.
unsigned GetPermissionBits(const std::string& path);

// The text a symbolic link holds; false when path is no link or cannot be read.
bool ReadLink(const std::string& path, std::string* target);

// Makes path a symbolic link holding target. An entry already named path is replaced
// atomically when it is a link or a file; a folder is never replaced. False with the error.
bool SetLink(const std::string& target, const std::string& path, Error* error = nullptr);

// Removes path and, when it is a folder, everything below it; links are removed, never
// followed. True when nothing is left (also when nothing was there).
bool RemoveTree(const std::string& path, Error* error = nullptr);

}  // namespace platform
