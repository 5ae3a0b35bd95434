#include "fileinfo/MediaInfoHandle.h"

#include "base/TextFileUnicode.h"
#include "platform/ThreadLocale.h"

template <typename Fn>
Fn MediaInfoHandle::Callable(MediaInfoEntry entry) const {
    if (!Ready()) return nullptr;
    return reinterpret_cast<Fn>(m_binding.Entry(entry));
}

MediaInfoHandle::MediaInfoHandle(CMediaInfoBinding& binding) : m_binding(binding) {
    if (!m_binding.HasModule()) m_binding.Bind();
    if (!m_binding.HasModule()) return;
    if (auto create = reinterpret_cast<mediainfo_fn::New>(m_binding.Entry(MediaInfoEntry::New)))
        m_handle = create();
    if (m_handle) m_binding.ConfigureOnce();
}

MediaInfoHandle::~MediaInfoHandle() {
    if (auto destroy = Callable<mediainfo_fn::Delete>(MediaInfoEntry::Delete)) destroy(m_handle);
}

bool MediaInfoHandle::Ready() const { return m_handle && m_binding.HasModule(); }

std::size_t MediaInfoHandle::Open(const std::string& path) {
    auto open = Callable<mediainfo_fn::Open>(MediaInfoEntry::Open);
    if (!open) return 0;
    // The library turns the wide name back into bytes with the thread's character type.
    platform::ScopedUtf8CharacterType utf8;
    return open(m_handle, Utf8ToWide(path).c_str());
}

std::string MediaInfoHandle::Get(int streamKind, std::size_t streamNumber,
                                 const std::string& parameter, int infoKind, int searchKind) {
    auto get = Callable<mediainfo_fn::Get>(MediaInfoEntry::Get);
    if (!get) return kUnavailableText;
    const wchar_t* answer = get(m_handle, streamKind, streamNumber, Utf8ToWide(parameter).c_str(),
                                infoKind, searchKind);
    return answer ? WideToUtf8(answer) : std::string();
}

void MediaInfoHandle::Close() {
    if (auto close = Callable<mediainfo_fn::Close>(MediaInfoEntry::Close)) close(m_handle);
}

std::string MediaInfoHandle::SetOption(const std::string& option, const std::string& value) {
    auto set = Callable<mediainfo_fn::Option>(MediaInfoEntry::Option);
    if (!set) return {};
    const wchar_t* answer = set(m_handle, Utf8ToWide(option).c_str(), Utf8ToWide(value).c_str());
    return answer ? WideToUtf8(answer) : std::string();
}
