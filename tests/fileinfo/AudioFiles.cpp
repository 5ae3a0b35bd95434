#include "AudioFiles.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>

bool RunQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string out;
    std::array<char, 4096> buffer;
    while (const std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        out.append(buffer.data(), n);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

std::string MakeWav(const std::string& path, int sampleRate, int channels, int bits,
                    double seconds) {
    const std::string command =
        "sox -n -r " + std::to_string(sampleRate) + " -c " + std::to_string(channels) + " -b " +
        std::to_string(bits) + (bits == 8 ? " -e unsigned-integer " : " -e signed-integer ") +
        Quoted(path) + " synth " + std::to_string(seconds) + " sine 300-3000";
    if (!RunQuietly(command)) throw std::runtime_error("sox failed: " + command);
    return path;
}

std::string Encode(const std::string& wav, const std::string& path, const std::string& command) {
    std::string line = command;
    for (const auto& [placeholder, value] : {std::pair{"{in}", wav}, std::pair{"{out}", path}}) {
        for (auto at = line.find(placeholder); at != std::string::npos; at = line.find(placeholder))
            line.replace(at, std::string(placeholder).size(), Quoted(value));
    }
    if (!RunQuietly(line)) throw std::runtime_error("encoder failed: " + line);
    return path;
}

std::string MediaInfoProgram(const std::string& inform, const std::string& path) {
    return CommandOutput("mediainfo '--Inform=" + inform + "' " + Quoted(path));
}

double MediaInfoProgramBitRate(const std::string& section, const std::string& path) {
    const std::string answer = MediaInfoProgram(section + ";%BitRate%", path);
    return answer.empty() ? 0.0 : std::stoll(answer) / 1000.0;
}

OpenedFile OpenFile(const std::string& path, MediaInfoHandle* mediaInfo) {
    OpenedFile file;
    file.Record = std::make_unique<CFileInfo>();
    file.Opened = file.Record->Open(path, mediaInfo);
    return file;
}

std::string Bytes16(std::uint16_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string Bytes32(std::uint32_t value) {
    return Bytes16(static_cast<std::uint16_t>(value & 0xFFFF)) +
           Bytes16(static_cast<std::uint16_t>(value >> 16));
}
