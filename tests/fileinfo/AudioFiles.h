#pragma once

#include <cstdint>
#include <string>

#include "fileinfo/FileInfo.h"

class MediaInfoHandle;

// Real audio files for the reader tests, made by the real command-line tools at test time.

// Runs a shell command with its output discarded; true when it exits with 0.
bool RunQuietly(const std::string& command);
// The command's standard output, trailing line breaks removed.
std::string CommandOutput(const std::string& command);
std::string Quoted(const std::string& path);

// A sine tone of the given format as a WAV file (sox), at path.
std::string MakeWav(const std::string& path, int sampleRate, int channels, int bits,
                    double seconds = 0.3);
// Encodes a WAV into path with a shell command whose "{in}" and "{out}" are replaced.
std::string Encode(const std::string& wav, const std::string& path, const std::string& command);

// What the mediainfo program says for "Section;%Key%" (the same library, another process).
std::string MediaInfoProgram(const std::string& inform, const std::string& path);
// Its answer for a bit rate, in kilobits as the record keeps it.
double MediaInfoProgramBitRate(const std::string& section, const std::string& path);

// Opens path into a fresh record; the result of Open goes to opened.
struct OpenedFile {
    bool Opened = false;
    std::unique_ptr<CFileInfo> Record;
    CFileInfo* operator->() const { return Record.get(); }
};
OpenedFile OpenFile(const std::string& path, MediaInfoHandle* mediaInfo);

// Little-endian byte strings for building headers by hand.
std::string Bytes16(std::uint16_t value);
std::string Bytes32(std::uint32_t value);
