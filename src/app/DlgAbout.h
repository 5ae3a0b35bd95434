#pragma once

#include <QDialog>

#include "ui/DlgLanguageImpl.h"

// The about box: the version text and the authors' notice.
class CDlgAbout final : public QDialog, public CDlgLanguageImpl {
    Q_OBJECT
public:
    CDlgAbout(const CLanguageManager* language, QWidget* owner);
};
