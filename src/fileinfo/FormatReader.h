#pragma once

#include <string>

class CFileInfo;
class MediaInfoHandle;

// Reads one audio format's properties into a file record. A reader keeps no state between
// calls and writes only the fields it knows. False means the file is not of its format (or
// cannot be read) and stays out of the list; fields written before the refusal stay written.
class CFormatReader {
public:
    virtual ~CFormatReader() = default;
    virtual bool Read(const std::string& path, CFileInfo* record, MediaInfoHandle* mediaInfo) = 0;
};
