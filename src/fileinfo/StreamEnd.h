#pragma once

#include <string>

class CFileInfo;

// Whether a file holds its stream up to the end its header promises, for the formats whose
// header gives the length before the samples, so that it survives when the file is cut short:
// FLAC, WavPack and TTA. (The other formats either say so through the file information's
// Truncation, or give a shorter length.) record is the file's opened record. Empty when the
// stream is whole or the format has nothing to tell; otherwise why not ("cut short: ...").
std::string FindStreamCut(const std::string& path, const CFileInfo& record);
