#include "app/OptionsPageCore.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "settings/SettingsSet.h"

namespace {

constexpr int kTemplate = 226;
constexpr int kTextTitle = 115;
constexpr int kTextFrame = 137;
constexpr int kTextPriority = 138;
constexpr int kPriorityTexts[] = {139, 140, 141, 142};
constexpr int kTextProcessors = 143;
constexpr int kTextThreads = 144;

}  // namespace

COptionsPageCore::COptionsPageCore(const CLanguageManager* language)
    : COptionsPageImpl(kTemplate, kTextTitle, language) {}

void COptionsPageCore::OnInitPage(QWidget& page) {
    QVBoxLayout* column = AddFrame(page, kTextFrame);
    m_priority = Named(new QComboBox(&page), 1032);
    m_priority->setAccessibleName(WithoutMnemonic(GetString(kTextPriority)));
    AddLabelled(*column, Named(new QLabel(GetString(kTextPriority), &page), 1052), m_priority,
                Qt::AlignLeft);
    column->addSpacing(GroupGap(page));
    m_threads = Named(new QComboBox(&page), 1033);
    m_threads->setAccessibleName(WithoutMnemonic(GetString(kTextThreads)));
    AddLabelled(*column, Named(new QLabel(GetString(kTextThreads), &page), 1053), m_threads,
                Qt::AlignLeft);

    for (int id : kPriorityTexts) m_priority->addItem(GetString(static_cast<std::uint32_t>(id)));
    const int processors = CSettingsCore::ProcessorCount();
    for (int count = 1; count <= kMaxThreads; ++count) {
        QString text = QString::number(count);
        if (count == processors) {
            text += QStringLiteral(" (") + GetString(kTextProcessors) + QStringLiteral(")");
        }
        m_threads->addItem(text);
    }
    // A stored value outside a list selects nothing there.
    const CSettingsCore& core = GetSettings()->Core;
    m_priority->setCurrentIndex(
        core.Priority >= 0 && core.Priority < m_priority->count() ? core.Priority : -1);
    const int threadsItem = core.ThreadsCount - 1;
    m_threads->setCurrentIndex(threadsItem >= 0 && threadsItem < m_threads->count() ? threadsItem
                                                                                    : -1);
}

void COptionsPageCore::OnApply() {
    CSettingsCore& core = GetSettings()->Core;
    // A list without a selection keeps its setting.
    if (m_priority->currentIndex() >= 0) core.Priority = m_priority->currentIndex();
    if (m_threads->currentIndex() >= 0) core.ThreadsCount = m_threads->currentIndex() + 1;
}
