#pragma once

#include <taglib/tpropertymap.h>

namespace TagLib {
class File;
}

// The file's text fields by TagLib's common names. A WAV file's RIFF INFO fields fill in
// whatever its id3 chunk does not hold.
TagLib::PropertyMap ReadTextFields(TagLib::File& file);
