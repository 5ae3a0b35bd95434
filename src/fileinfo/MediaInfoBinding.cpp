#include "fileinfo/MediaInfoBinding.h"

#include <utility>

#include "platform/DynamicLibrary.h"

namespace {

constexpr std::array<const char*, CMediaInfoBinding::kEntryCount> kEntryNames = {
    "MediaInfo_New",
    "MediaInfoList_New",
    "MediaInfo_Delete",
    "MediaInfoList_Delete",
    "MediaInfo_Open",
    "MediaInfoList_Open",
    "MediaInfo_Close",
    "MediaInfoList_Close",
    "MediaInfo_Inform",
    "MediaInfoList_Inform",
    "MediaInfo_GetI",
    "MediaInfoList_GetI",
    "MediaInfo_Get",
    "MediaInfoList_Get",
    "MediaInfo_Option",
    "MediaInfoList_Option",
    "MediaInfo_State_Get",
    "MediaInfoList_State_Get",
    "MediaInfo_Count_Get",
    "MediaInfoList_Count_Get",
    "MediaInfo_Count_Get_Files",
    "MediaInfoList_Count_Get_Files",
};

}  // namespace

CMediaInfoBinding& CMediaInfoBinding::Process() {
    static CMediaInfoBinding binding({"libmediainfo.so.0", "libmediainfo.so"});
    return binding;
}

CMediaInfoBinding::CMediaInfoBinding(std::vector<std::string> libraryNames)
    : m_libraryNames(std::move(libraryNames)) {}

const char* CMediaInfoBinding::EntryName(MediaInfoEntry entry) {
    return kEntryNames[static_cast<std::size_t>(entry)];
}

bool CMediaInfoBinding::LoadModule() {
    // A library that bound short of entry points stays loaded; binding again reuses it.
    if (m_module) return true;
    for (const auto& name : m_libraryNames) {
        const auto loaded = platform::LoadLibrary(name);
        if (loaded.handle) {
            m_module = loaded.handle;
            return true;
        }
        m_loadError = loaded.error;
    }
    return false;
}

std::ptrdiff_t CMediaInfoBinding::Bind() {
    std::lock_guard lock(m_mutex);
    if (m_useCount > 0) {
        ++m_useCount;
        return 1;
    }
    if (!LoadModule()) return -1;
    std::size_t missing = 0;
    for (std::size_t i = 0; i < kEntryCount; ++i) {
        m_entries[i] = platform::GetSymbol(m_module, kEntryNames[i]);
        if (!m_entries[i]) ++missing;
    }
    // Builds of the library differ by an entry point now and then (Debian's lacks
    // MediaInfo_Count_Get_Files); one missing is no reason to do without the library.
    if (missing > 1) return -1;
    ++m_useCount;
    return 1;
}

void CMediaInfoBinding::ConfigureOnce() {
    std::lock_guard lock(m_mutex);
    if (m_configured) return;
    const auto option = reinterpret_cast<mediainfo_fn::Option>(
        m_entries[static_cast<std::size_t>(MediaInfoEntry::Option)]);
    if (!option) return;
    // A null handle addresses the library's own configuration, shared by every handle.
    option(nullptr, L"ReadByHuman", L"0");
    m_configured = true;
}

bool CMediaInfoBinding::HasModule() const {
    std::lock_guard lock(m_mutex);
    return m_module != nullptr;
}

unsigned CMediaInfoBinding::UseCount() const {
    std::lock_guard lock(m_mutex);
    return m_useCount;
}

void* CMediaInfoBinding::Entry(MediaInfoEntry entry) const {
    std::lock_guard lock(m_mutex);
    return m_entries[static_cast<std::size_t>(entry)];
}

std::string CMediaInfoBinding::LoadError() const {
    std::lock_guard lock(m_mutex);
    return m_loadError;
}

std::ptrdiff_t Bind() { return CMediaInfoBinding::Process().Bind(); }
