// Loads arbitrary bytes as the codec database and looks every entry up again by its hash and
// by its file name: the first entry with a value must be found for it, whatever the document.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codecs/Database.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CDatabase database;
    database.LoadFromText(std::string(reinterpret_cast<const char*>(data), size));
    for (std::size_t i = 0; i < database.GetCount(); ++i) {
        const CDatabaseEntry* entry = database.GetAt(i);
        if (entry == nullptr) std::abort();
        const CDatabaseEntry* byHash = database.FindByHash(entry->Hash);
        if (byHash == nullptr || byHash->Hash != entry->Hash) std::abort();
        if (!entry->FileName.empty()) {
            const CDatabaseEntry* byName = database.FindByFileName(entry->FileName);
            if (byName == nullptr) std::abort();
        }
        for (const CDatabasePreset& preset : entry->Presets) {
            if (preset.Type.size() > size) std::abort();
        }
    }
    return 0;
}
