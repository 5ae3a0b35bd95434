#pragma once

#include <array>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

// The library's plain function interface, wide-character variant, in the binding's table order.
enum class MediaInfoEntry : std::size_t {
    New,
    ListNew,
    Delete,
    ListDelete,
    Open,
    ListOpen,
    Close,
    ListClose,
    Inform,
    ListInform,
    GetI,
    ListGetI,
    Get,
    ListGet,
    Option,
    ListOption,
    StateGet,
    ListStateGet,
    CountGet,
    ListCountGet,
    CountGetFiles,
    ListCountGetFiles,
};

// Signatures of the entry points kelto calls. The stream and info kinds are C enums of the
// library, passed as int.
namespace mediainfo_fn {
using New = void* (*)();
using Delete = void (*)(void*);
using Open = std::size_t (*)(void*, const wchar_t*);
using Close = void (*)(void*);
using Get = const wchar_t* (*)(void*, int, std::size_t, const wchar_t*, int, int);
using Option = const wchar_t* (*)(void*, const wchar_t*, const wchar_t*);
}  // namespace mediainfo_fn

// Run-time binding of the MediaInfo library: the loaded module, a use count and the table of
// entry points. The program has one (Process()); every handle and reader goes through it.
// Other instances exist so that tests can bind a library file of their choosing.
class CMediaInfoBinding {
public:
    static constexpr std::size_t kEntryCount = 22;

    // The program's binding: tries "libmediainfo.so.0", then "libmediainfo.so".
    static CMediaInfoBinding& Process();
    // A binding that loads the first of these library files (dlopen names or paths) that loads.
    explicit CMediaInfoBinding(std::vector<std::string> libraryNames);
    // The module stays loaded for the life of the process, as the program's binding does.
    ~CMediaInfoBinding() = default;
    CMediaInfoBinding(const CMediaInfoBinding&) = delete;
    CMediaInfoBinding& operator=(const CMediaInfoBinding&) = delete;

    // 1 when bound (a bound library only gains a use), -1 when the library cannot be loaded or
    // lacks more than one entry point; in the last case the module stays loaded, unused.
    std::ptrdiff_t Bind();

    bool HasModule() const;
    unsigned UseCount() const;
    // The entry point, or null when the library lacks it or nothing is loaded.
    void* Entry(MediaInfoEntry entry) const;
    // Why the last load failed (the loader's text), for diagnostics.
    std::string LoadError() const;

    static const char* EntryName(MediaInfoEntry entry);

    // Sets the library's process-wide options, once per load; every handle calls it when it
    // is made. "ReadByHuman" "0" spares the library composing the display texts ("128 kb/s",
    // "44.1 kHz") of every field of every file: the plain values the readers ask for are the
    // same either way, and a folder lists about three times faster. (Set with a handle alive:
    // the library frees the option's answer with its handles.)
    void ConfigureOnce();

private:
    bool LoadModule();

    const std::vector<std::string> m_libraryNames;
    mutable std::mutex m_mutex;
    void* m_module = nullptr;
    unsigned m_useCount = 0;
    bool m_configured = false;
    std::array<void*, kEntryCount> m_entries{};
    std::string m_loadError;
};

// Bind() of the program's binding.
std::ptrdiff_t Bind();
