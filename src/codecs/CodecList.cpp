#include "codecs/CodecList.h"

#include "codecs/Coder.h"
#include "codecs/Database.h"
#include "codecs/Decoder.h"
#include "codecs/HashFile.h"
#include "base/Folders.h"
#include "platform/File.h"

namespace {

// The executables among the entries of folder, in enumeration order. listed is false when the
// listing failed or found nothing.
std::vector<std::string> ListExecutables(const std::string& folder, bool& listed) {
    std::vector<std::string> entries;
    listed = ListFiles(folder, "*", entries);
    std::vector<std::string> executables;
    for (const std::string& entry : entries) {
        if (platform::IsExecutableFile(entry)) executables.push_back(entry);
    }
    return executables;
}

const CDatabaseEntry* Identify(const std::string& path, const CDatabase& database,
                               bool byFileName) {
    const CDatabaseEntry* entry = nullptr;
    std::string hash;
    if (HashFile(path, hash)) entry = database.FindByHash(hash);
    if (entry == nullptr && byFileName) entry = database.FindByFileName(path);
    return entry;
}

}  // namespace

template <class TRecord>
TRecord* CCodecList<TRecord>::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return m_records[static_cast<std::size_t>(index)].get();
}

template <class TRecord>
bool CCodecList<TRecord>::LoadFromFolder(const std::string& folder) {
    std::vector<std::string> packages;
    if (!ListSubfolders(folder, "*", packages)) return false;
    for (const std::string& package : packages) {
        bool listed = false;
        const std::vector<std::string> executables = ListExecutables(package, listed);
        // A package whose program is not installed (its link points nowhere) holds no
        // executable; it is passed over and the packages after it still load.
        if (executables.empty()) continue;
        for (const std::string& executable : executables) {
            auto record = std::make_unique<TRecord>();
            if (record->Load(executable)) AddTail(std::move(record));
        }
        // Entries were found but the listing ended with an error: the scan stops here.
        if (!listed) return false;
    }
    return true;
}

template <class TRecord>
bool CCodecList<TRecord>::LoadFromDatabase(const std::string& folder, const CDatabase& database,
                                           bool byFileName) {
    bool listed = false;
    for (const std::string& executable : ListExecutables(folder, listed)) {
        const CDatabaseEntry* entry = Identify(executable, database, byFileName);
        if (entry == nullptr) continue;
        auto record = std::make_unique<TRecord>();
        record->LoadFromEntry(executable, *entry, TRecord::kPresetType);
        // A program the database describes only for the other direction is no codec here.
        if (record->GetPresets().GetCount() > 0) AddTail(std::move(record));
    }
    return true;
}

template class CCodecList<CCoder>;
template class CCodecList<CDecoder>;
