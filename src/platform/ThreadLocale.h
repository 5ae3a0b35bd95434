#pragma once

namespace platform {

// Makes the calling thread convert between wide and multibyte text as UTF-8 (the C.UTF-8
// character type) while the object lives, whatever the process locale is. Libraries that
// turn wide file names into bytes with wcstombs (MediaInfo does) otherwise fail on every
// non-ASCII name under the "C" locale, and would produce the wrong bytes under a non-UTF-8 one.
class ScopedUtf8CharacterType {
public:
    ScopedUtf8CharacterType();
    ~ScopedUtf8CharacterType();
    ScopedUtf8CharacterType(const ScopedUtf8CharacterType&) = delete;
    ScopedUtf8CharacterType& operator=(const ScopedUtf8CharacterType&) = delete;

    // False when the system has no UTF-8 locale; the thread then keeps its own.
    bool Active() const { return m_previous != nullptr; }

private:
    void* m_previous = nullptr;  // the thread's locale_t before, restored on destruction
};

}  // namespace platform
