#include "platform/ThreadLocale.h"

#include <locale.h>

namespace platform {

namespace {

// Made once and kept for the life of the process: newlocale is not cheap, and a locale
// object that is in use by some thread must not be freed.
locale_t Utf8CharacterTypeLocale() {
    static const locale_t locale = [] {
        locale_t made = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (!made) made = ::newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
        return made;
    }();
    return locale;
}

}  // namespace

ScopedUtf8CharacterType::ScopedUtf8CharacterType() {
    const locale_t utf8 = Utf8CharacterTypeLocale();
    if (utf8) m_previous = ::uselocale(utf8);
}

ScopedUtf8CharacterType::~ScopedUtf8CharacterType() {
    if (m_previous) ::uselocale(static_cast<locale_t>(m_previous));
}

}  // namespace platform
