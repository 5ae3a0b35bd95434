#pragma once

#include "fileinfo/FormatReaderMediaInfo.h"

// MPEG-4 audio (.m4a): properties from MediaInfo, the keys every MediaInfo-only format asks.
class CFormatReaderM4A : public CFormatReaderMediaInfo {};
