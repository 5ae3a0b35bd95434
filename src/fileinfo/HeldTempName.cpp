#include "fileinfo/HeldTempName.h"

#include "core/TempFileName.h"

CHeldTempName::~CHeldTempName() { Release(); }

void CHeldTempName::Take(const std::string& name) {
    if (name == m_name) return;
    Release();
    m_name = name;
}

void CHeldTempName::Release() {
    if (!m_name.empty()) ReleaseTempFileName(m_name);
    m_name.clear();
}
