#pragma once

#include <string>

// Makes destination a copy of source, touching only what differs: folders are made, files
// whose bytes or permission bits differ are written apart and renamed into place, symbolic
// links are copied as links (never what they point to; a relative one made absolute, so that
// it names the same file from the copy), and entries the source does not have are removed.
// Empty on success, else what could not be done.
std::string MirrorTree(const std::string& source, const std::string& destination);
