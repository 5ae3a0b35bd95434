#include "base/TextFileBase.h"

CTextFileBase::~CTextFileBase() = default;

void CTextFileBase::Close() { m_file.Close(); }
