#include "app/OptionsPageImpl.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>

COptionsPageImpl::COptionsPageImpl(int templateId, int titleId, const CLanguageManager* language)
    : CDlgLanguageImpl(language), m_templateId(templateId), m_titleId(titleId) {}

COptionsPageImpl::~COptionsPageImpl() { Destroy(); }

void COptionsPageImpl::Apply() {
    if (m_window) OnApply();
}

std::string COptionsPageImpl::GetTitle() const {
    return GetStdString(static_cast<std::uint32_t>(m_titleId));
}

void COptionsPageImpl::Create(QWidget* parent, QWidget* insertAfter) {
    if (m_window) return;
    m_window = new QWidget(parent);
    m_window->setObjectName(QStringLiteral("dlg%1").arg(m_templateId));
    OnInitPage(*m_window);
    // Right after insertAfter in the order of the dialog's controls: Tab goes from it into the
    // page, through the page's controls in the order they were made (top to bottom).
    QWidget* previous = insertAfter;
    for (QWidget* control : m_window->findChildren<QWidget*>()) {
        if (previous && (control->focusPolicy() & Qt::TabFocus) && IsPageControl(*control)) {
            QWidget::setTabOrder(previous, control);
            previous = control;
        }
    }
}

bool COptionsPageImpl::IsPageControl(const QWidget& widget) const {
    // On the page itself or in its frames, not a part of another control (a list's scroll bars).
    for (const QWidget* parent = widget.parentWidget(); parent != m_window;
         parent = parent->parentWidget()) {
        if (!parent || !qobject_cast<const QGroupBox*>(parent)) return false;
    }
    return true;
}

void COptionsPageImpl::Destroy() {
    delete m_window.data();
    m_window = nullptr;
}

void COptionsPageImpl::Show(bool show) {
    if (m_window) m_window->setVisible(show);
}

QVBoxLayout* COptionsPageImpl::AddFrame(QWidget& page, std::uint32_t textId, bool fillsPage) {
    auto* pageLayout = new QVBoxLayout(&page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    auto* frame = Named(new QGroupBox(GetString(textId), &page), 1049);
    pageLayout->addWidget(frame, fillsPage ? 1 : 0);
    if (!fillsPage) pageLayout->addStretch(1);
    return new QVBoxLayout(frame);
}

void COptionsPageImpl::AddLabelled(QVBoxLayout& column, QLabel* label, QWidget* control,
                                   Qt::Alignment alignment) {
    label->setBuddy(control);
    column.addWidget(label);
    column.addWidget(control, 0, alignment);
}

int COptionsPageImpl::ButtonIndent(const QWidget& page) {
    const QStyle* style = page.style();
    return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &page) +
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &page);
}
