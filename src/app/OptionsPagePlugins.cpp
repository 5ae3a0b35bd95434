#include "app/OptionsPagePlugins.h"

#include <QBoxLayout>
#include <QLabel>

#include "app/PluginList.h"
#include "base/FileSize.h"
#include "ui/SortListViewEx.h"

namespace {

constexpr int kTemplate = 228;
constexpr int kTextTitle = 116;
constexpr int kTextCount = 145;
constexpr int kColumnTexts[] = {147, 146, 102, 103};
constexpr int kSizeColumn = 3;

}  // namespace

COptionsPagePlugins::COptionsPagePlugins(const CLanguageManager* language,
                                         const CPluginList& plugins)
    : COptionsPageImpl(kTemplate, kTextTitle, language), m_plugins(plugins) {}

void COptionsPagePlugins::OnInitPage(QWidget& page) {
    QVBoxLayout* frame = AddFrame(page, kTextTitle, true);
    auto* list = Named(new CSortListViewEx(&page), 1040);
    list->setAccessibleName(WithoutMnemonic(GetString(kTextTitle)));
    auto* count = Named(new QLabel(&page), 1042);
    frame->addWidget(list, 1);
    frame->addWidget(count);

    int column = 0;
    for (int id : kColumnTexts)
        list->InsertColumn(column++, GetString(static_cast<std::uint32_t>(id)));
    list->SetColumnAlignment(kSizeColumn, Qt::AlignRight);
    for (int i = 0; i < m_plugins.GetCount(); ++i) {
        const CPlugin& plugin = *m_plugins.GetAt(i);
        const int row = list->AddItem(i, 0, ToQString(plugin.GetName()));
        list->AddItem(row, 1, ToQString(plugin.GetVersion()));
        list->AddItem(row, 2, ToQString(plugin.GetFileName()));
        list->AddItem(row, kSizeColumn, ToQString(FormatFileSize(plugin.GetFileSize(), 0, 2)));
    }
    list->AutosizeColumns();
    count->setText(GetString(kTextCount) + QStringLiteral(": %1").arg(m_plugins.GetCount()));
}
