#pragma once

#include <cstddef>
#include <string>

#include "fileinfo/MediaInfoBinding.h"

// One handle of the MediaInfo library, owned by the file list and lent to every Open. It
// serves one file at a time: Open, then Get as often as needed, then Close.
// Without the library (or without the entry point a call needs) the handle is "not ready":
// Open answers 0, Close does nothing and Get answers kUnavailableText.
class MediaInfoHandle {
public:
    static constexpr int kStreamGeneral = 0;
    static constexpr int kStreamAudio = 2;
    static constexpr int kInfoText = 1;
    static constexpr int kInfoName = 0;
    static constexpr const char* kUnavailableText = "Unable to load MediaInfo.dll";

    // Binds the library when the binding has no module yet, then makes the library's handle
    // (the first one made also sets the library's options, CMediaInfoBinding::ConfigureOnce).
    explicit MediaInfoHandle(CMediaInfoBinding& binding = CMediaInfoBinding::Process());
    ~MediaInfoHandle();
    MediaInfoHandle(const MediaInfoHandle&) = delete;
    MediaInfoHandle& operator=(const MediaInfoHandle&) = delete;

    bool Ready() const;
    // The binding the handle was made from; another handle for another thread comes from it.
    CMediaInfoBinding& GetBinding() const { return m_binding; }
    std::size_t Open(const std::string& path);
    // A copy of the library's answer (the library reuses its answer buffer on the next call).
    std::string Get(int streamKind, std::size_t streamNumber, const std::string& parameter,
                    int infoKind = kInfoText, int searchKind = kInfoName);
    void Close();
    // Sets an option of this handle alone (MediaInfo_Option); the library's answer, empty
    // when the handle is not ready.
    std::string SetOption(const std::string& option, const std::string& value);

private:
    // The entry point when the handle is ready and the library has it, else null.
    template <typename Fn>
    Fn Callable(MediaInfoEntry entry) const;

    CMediaInfoBinding& m_binding;
    void* m_handle = nullptr;
};
