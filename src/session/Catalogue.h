#pragma once

#include <string>

#include "codecs/CoderList.h"
#include "codecs/Database.h"
#include "codecs/DecoderList.h"

class CWorkingFolder;

// The codec catalogue both front ends load the same way: the codec database, the coders
// (package folders, then the Codecs folder, then the pass-through coder, always last) and the
// decoders (package folders, then the Codecs folder).
class CCatalogue {
public:
    CCatalogue() = default;
    CCatalogue(const CCatalogue&) = delete;
    CCatalogue& operator=(const CCatalogue&) = delete;

    // Loads Base.xml and scans Coders, Codecs and Decoders below folder. passThroughName is the
    // user-interface text for the pass-through coder; findByFileName is the FindByFileName
    // setting. Whatever was loaded before is released first (per-file job copies keep working).
    void Load(const CWorkingFolder& folder, const std::string& passThroughName,
              bool findByFileName);

    CDatabase& GetDatabase() { return m_database; }
    CCoderList& GetCoders() { return m_coders; }
    CDecoderList& GetDecoders() { return m_decoders; }
    const CCoderList& GetCoders() const { return m_coders; }
    const CDecoderList& GetDecoders() const { return m_decoders; }

    // The pass-through coder's index: the last coder.
    int GetPassThroughIndex() const { return m_coders.GetCount() - 1; }
    bool IsPassThrough(int coderIndex) const;

private:
    CDatabase m_database;
    CCoderList m_coders;
    CDecoderList m_decoders;
};
