#include "tags/NameTags.h"

#include <taglib/fileref.h>
#include <taglib/tfile.h>

#include "tags/TagLibLock.h"
#include "tags/TextFields.h"

namespace {

std::string First(const TagLib::PropertyMap& fields, const char* key) {
    const auto found = fields.find(key);
    if (found == fields.end() || found->second.isEmpty()) return {};
    return found->second.front().to8Bit(true);
}

}  // namespace

bool ReadNameTags(const std::string& path, NameTags& tags) {
    tags = {};
    const auto lock = LockTagLib();
    const TagLib::FileRef file(path.c_str(), false);
    if (file.isNull() || !file.file()->isValid()) return false;
    const TagLib::PropertyMap fields = ReadTextFields(*file.file());
    tags.Artist = First(fields, "ARTIST");
    tags.AlbumArtist = First(fields, "ALBUMARTIST");
    tags.Album = First(fields, "ALBUM");
    tags.Title = First(fields, "TITLE");
    tags.Track = First(fields, "TRACKNUMBER");
    tags.Disc = First(fields, "DISCNUMBER");
    tags.Date = First(fields, "DATE");
    tags.Genre = First(fields, "GENRE");
    tags.Composer = First(fields, "COMPOSER");
    return true;
}
