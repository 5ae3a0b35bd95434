#include "session/OutputFile.h"

#include <cstdio>

#include "platform/File.h"
#include "platform/FileKind.h"

std::string WhyNotAWrittenFile(const std::string& path) {
    switch (platform::GetFileKind(path)) {
        case platform::FileKind::Missing:
            return path + " was not written";
        case platform::FileKind::Directory:
        case platform::FileKind::Other:
            return path + " is not a regular file";
        case platform::FileKind::Regular:
            break;
    }
    return platform::GetFileSize(path) > 0 ? std::string() : path + " is empty";
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}
