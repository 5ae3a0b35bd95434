// Loads arbitrary bytes as a playlist through the file list, saves the result and loads it
// again: whatever was listed must come back in the same order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/TextFileException.h"
#include "fileinfo/FileInfo.h"
#include "session/FileList.h"

namespace {

const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        auto path = base / ("kelto-playlist-fuzz-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> Paths(const CFileList& list) {
    std::vector<std::string> paths;
    for (int i = 0; i < list.Count(); ++i) paths.push_back(list.Get(i)->Path);
    return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFileList list;
    const std::string playlist = (ScratchFolder() / "input.m3u").string();
    {
        std::ofstream out(playlist, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        Check(list.LoadPlaylist(playlist));
    } catch (const CTextFileException&) {
        return 0;
    }
    const std::vector<std::string> loaded = Paths(list);
    for (const std::string& path : loaded) {
        Check(!path.empty() && path.front() == '/' &&
              path.find_first_of("\r\n") == std::string::npos);
    }
    const std::string saved = (ScratchFolder() / "saved.m3u").string();
    Check(list.SavePlaylist(saved));
    Check(list.LoadPlaylist(saved));
    // A path the file-information open refuses may be accepted the second time only if the
    // file changed; nothing here writes audio files, so the lists must agree.
    Check(Paths(list) == loaded);
    return 0;
}
