#include "app/OptionsPageImpl.h"

#include <QComboBox>
#include <QGroupBox>

#include "ui/TemplateLayout.h"

COptionsPageImpl::COptionsPageImpl(int templateId, int titleId, const CLanguageManager* language)
    : CDlgLanguageImpl(language), m_templateId(templateId), m_titleId(titleId) {}

COptionsPageImpl::~COptionsPageImpl() { Destroy(); }

void COptionsPageImpl::Apply() {
    if (m_window) OnApply();
}

std::string COptionsPageImpl::GetTitle() const {
    return GetStdString(static_cast<std::uint32_t>(m_titleId));
}

void COptionsPageImpl::Create(QWidget* parent, const QRect& rect, QWidget* insertAfter) {
    if (m_window) return;
    m_window = new QWidget(parent);
    m_window->setObjectName(QStringLiteral("dlg%1").arg(m_templateId));
    m_layout = new CTemplateLayout(m_window, kPageWidth, kPageHeight);
    OnInitPage(*m_window);
    m_window->setGeometry(rect);
    // Right after insertAfter in the order of the dialog's controls: Tab goes from it into the
    // page.
    QWidget* previous = insertAfter;
    for (QWidget* control : m_window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!previous || !(control->focusPolicy() & Qt::TabFocus)) continue;
        QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void COptionsPageImpl::Destroy() {
    delete m_window.data();
    m_window = nullptr;
    m_layout = nullptr;
}

void COptionsPageImpl::Show(bool show) {
    if (m_window) m_window->setVisible(show);
}

QRect COptionsPageImpl::ToPixels(const QRect& units) const { return m_layout->ToPixels(units); }

void COptionsPageImpl::AddFrame(QWidget& page, std::uint32_t textId, int height) {
    Place(new QGroupBox(GetString(textId), &page), 1049, 0, 0, kPageWidth, height);
}

void COptionsPageImpl::PlaceWidget(QWidget* control, int id, int x, int y, int width, int height) {
    m_layout->AddControl(
        control, id, x, y, width, height,
        qobject_cast<QComboBox*>(control) ? CTemplateLayout::kHintHeight : CTemplateLayout::kFixed);
}
