#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/LockFile.h"

// The marker that reserves a block of 256 temporary names for this process ("kel3F__.wav.lock"
// for kel3F00.wav to kel3FFF.wav): a file created exclusively and held locked (flock) for as
// long as names of the block are held. It says which names of the block are handed out, one
// byte per name written through a shared mapping, so handing out a name costs no system call
// and what the marker says outlives a crash of kelto, for the next kelto to clean up.
// Its content: "kelto names 1\n", then 256 bytes, the one of the name ending in digits n being
// '+' while that name is handed out, else '-'.
class CNameBlockMarker {
public:
    CNameBlockMarker() = default;
    CNameBlockMarker(CNameBlockMarker&& other) noexcept
        : m_file(std::move(other.m_file)), m_names(std::exchange(other.m_names, nullptr)) {}
    CNameBlockMarker& operator=(CNameBlockMarker&& other) noexcept {
        m_file = std::move(other.m_file);
        m_names = std::exchange(other.m_names, nullptr);
        return *this;
    }

    // Creates the marker at path, which must not exist, with no name handed out, and holds it.
    bool Create(const std::string& path, platform::Error* error = nullptr);
    const std::string& Path() const { return m_file.Path(); }
    // Whether the name whose last two digits are last is handed out.
    void SetHandedOut(std::uint8_t last, bool handedOut);
    // Removes the marker and lets it go.
    void Remove();

    // The last two digits of the names that a marker's text says are handed out; false when the
    // text is not a marker's.
    static bool HandedOut(const std::string& text, std::vector<std::uint8_t>* lasts);

private:
    platform::LockFile m_file;
    char* m_names = nullptr;  // the 256 bytes, mapped
};
