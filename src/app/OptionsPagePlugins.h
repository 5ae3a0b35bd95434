#pragma once

#include "app/OptionsPageImpl.h"

class CPluginList;
class CSortListViewEx;
class QLabel;

// Page 2: the loaded plug-ins, read-only: name, version, file name and size, and their count.
class COptionsPagePlugins final : public COptionsPageImpl {
public:
    COptionsPagePlugins(const CLanguageManager* language, const CPluginList& plugins);

protected:
    void OnInitPage(QWidget& page) override;
    void OnApply() override {}

private:
    const CPluginList& m_plugins;
};
