// A stand-in for the MediaInfo library, for what the real one cannot show: a build that lacks
// entry points, and a version that still answers the traditional keys "Resolution" and "Codec".
// Built once with every entry point and once without MediaInfo_Get and
// MediaInfo_Count_Get_Files (KELTO_STUB_WITHOUT_GET).
#include <cstddef>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>

#define STUB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::map<std::string, int>& Calls() {
    static std::map<std::string, int> calls;
    return calls;
}

int g_object;  // the address handed out as the library's handle

[[maybe_unused]] const wchar_t* Answer(const wchar_t* key) {
    static const std::map<std::wstring, const wchar_t*> answers = {
        {L"BitRate", L"320000"},    {L"Channel(s)", L"2"}, {L"SamplingRate", L"48000"},
        {L"Resolution", L"24"},     {L"BitDepth", L"8"},   {L"Codec", L"StubCodec"},
        {L"Format", L"StubFormat"},
    };
    const auto it = answers.find(key);
    return it == answers.end() ? L"" : it->second;
}

}  // namespace

// How often the named entry point was called; read by the tests through dlsym.
STUB_EXPORT int MediaInfoStub_Calls(const char* name) { return Calls()[name]; }

STUB_EXPORT void* MediaInfo_New() {
    ++Calls()["MediaInfo_New"];
    return &g_object;
}
STUB_EXPORT void MediaInfo_Delete(void*) { ++Calls()["MediaInfo_Delete"]; }
STUB_EXPORT std::size_t MediaInfo_Open(void*, const wchar_t*) {
    ++Calls()["MediaInfo_Open"];
    return 1;
}
STUB_EXPORT void MediaInfo_Close(void*) { ++Calls()["MediaInfo_Close"]; }
STUB_EXPORT const wchar_t* MediaInfo_Inform(void*, std::size_t) { return L""; }
STUB_EXPORT const wchar_t* MediaInfo_GetI(void*, int, std::size_t, std::size_t, int) { return L""; }
// Counted as "MediaInfo_Option <option>=<value>" (ASCII options only).
STUB_EXPORT const wchar_t* MediaInfo_Option(void*, const wchar_t* option, const wchar_t* value) {
    std::string call = "MediaInfo_Option ";
    for (const wchar_t* c = option; *c; ++c) call += static_cast<char>(*c);
    call += '=';
    for (const wchar_t* c = value; *c; ++c) call += static_cast<char>(*c);
    ++Calls()[call];
    return L"";
}
STUB_EXPORT std::size_t MediaInfo_State_Get(void*) { return 0; }
STUB_EXPORT std::size_t MediaInfo_Count_Get(void*, int, std::size_t) { return 0; }
#ifndef KELTO_STUB_WITHOUT_GET
STUB_EXPORT const wchar_t* MediaInfo_Get(void*, int, std::size_t, const wchar_t* key, int, int) {
    ++Calls()["MediaInfo_Get"];
    return Answer(key);
}
STUB_EXPORT std::size_t MediaInfo_Count_Get_Files(void*) { return 0; }
#endif

STUB_EXPORT void* MediaInfoList_New() { return &g_object; }
STUB_EXPORT void MediaInfoList_Delete(void*) {}
STUB_EXPORT std::size_t MediaInfoList_Open(void*, const wchar_t*, int) { return 0; }
STUB_EXPORT void MediaInfoList_Close(void*, std::size_t) {}
STUB_EXPORT const wchar_t* MediaInfoList_Inform(void*, std::size_t, std::size_t) { return L""; }
STUB_EXPORT const wchar_t* MediaInfoList_GetI(void*, std::size_t, int, std::size_t, std::size_t,
                                              int) {
    return L"";
}
STUB_EXPORT const wchar_t* MediaInfoList_Get(void*, std::size_t, int, std::size_t, const wchar_t*,
                                             int, int) {
    return L"";
}
STUB_EXPORT const wchar_t* MediaInfoList_Option(void*, const wchar_t*, const wchar_t*) {
    return L"";
}
STUB_EXPORT std::size_t MediaInfoList_State_Get(void*) { return 0; }
STUB_EXPORT std::size_t MediaInfoList_Count_Get(void*, std::size_t, int, std::size_t) { return 0; }
STUB_EXPORT std::size_t MediaInfoList_Count_Get_Files(void*) { return 0; }
