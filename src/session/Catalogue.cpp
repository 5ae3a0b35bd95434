#include "session/Catalogue.h"

#include "base/WorkingFolder.h"

void CCatalogue::Load(const CWorkingFolder& folder, const std::string& passThroughName,
                      bool findByFileName) {
    m_coders.RemoveAll();
    m_decoders.RemoveAll();
    m_database.Load(folder.GetDatabasePath());
    m_coders.LoadFromFolder(folder.GetCodersFolder());
    m_coders.LoadFromDatabase(folder.GetCodecsFolder(), m_database, findByFileName);
    m_coders.AddPassThroughCoder(passThroughName);
    m_decoders.LoadFromFolder(folder.GetDecodersFolder());
    m_decoders.LoadFromDatabase(folder.GetCodecsFolder(), m_database, findByFileName);
}

bool CCatalogue::IsPassThrough(int coderIndex) const {
    return coderIndex >= 0 && coderIndex == GetPassThroughIndex();
}
