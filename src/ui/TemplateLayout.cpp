#include "ui/TemplateLayout.h"

#include <QFontMetricsF>
#include <QWidget>
#include <QWidgetItem>
#include <cmath>

CTemplateLayout::CTemplateLayout(QWidget* parent, int widthUnits, int heightUnits)
    : QLayout(parent), m_units(widthUnits, heightUnits) {
    setContentsMargins(0, 0, 0, 0);
}

CTemplateLayout::~CTemplateLayout() {
    for (Entry& entry : m_entries) delete entry.item;
}

void CTemplateLayout::AddControl(QWidget* control, int id, int x, int y, int width, int height,
                                 int anchors) {
    control->setObjectName(QStringLiteral("ctl%1").arg(id));
    AddWidget(control, x, y, width, height, anchors);
}

void CTemplateLayout::AddWidget(QWidget* widget, int x, int y, int width, int height, int anchors) {
    addChildWidget(widget);
    m_entries.push_back({new QWidgetItem(widget), QRect(x, y, width, height), anchors});
    invalidate();
}

void CTemplateLayout::addItem(QLayoutItem* item) { m_entries.push_back({item, QRect(), kFixed}); }

QLayoutItem* CTemplateLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? m_entries[static_cast<std::size_t>(index)].item
                                         : nullptr;
}

QLayoutItem* CTemplateLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = m_entries[static_cast<std::size_t>(index)].item;
    m_entries.erase(m_entries.begin() + index);
    return item;
}

int CTemplateLayout::count() const { return static_cast<int>(m_entries.size()); }

QRect CTemplateLayout::ToPixels(const QRect& units) const {
    const QWidget* widget = parentWidget();
    const QFontMetricsF metrics(widget ? widget->font() : QFont());
    // The dialog base units: the average width of the Latin letters and the line height.
    const double baseX = metrics.horizontalAdvance(QStringLiteral(
                             "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                         52.0;
    const double baseY = metrics.height();
    auto x = [&](int value) { return static_cast<int>(std::lround(value * baseX / 4.0)); };
    auto y = [&](int value) { return static_cast<int>(std::lround(value * baseY / 8.0)); };
    return QRect(x(units.x()), y(units.y()), x(units.width()), y(units.height()));
}

QSize CTemplateLayout::sizeHint() const { return minimumSize(); }

QSize CTemplateLayout::minimumSize() const { return ToPixels(QRect(QPoint(0, 0), m_units)).size(); }

void CTemplateLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QSize base = minimumSize();
    const int dx = std::max(0, rect.width() - base.width());
    const int dy = std::max(0, rect.height() - base.height());
    for (const Entry& entry : m_entries) {
        if (entry.units.isNull()) continue;
        QRect place = ToPixels(entry.units).translated(rect.topLeft());
        if (entry.anchors & kHintHeight) place.setHeight(entry.item->sizeHint().height());
        if (entry.anchors & kMoveX) place.translate(dx, 0);
        if (entry.anchors & kMoveY) place.translate(0, dy);
        if (entry.anchors & kSizeX) place.setWidth(place.width() + dx);
        if (entry.anchors & kSizeY) place.setHeight(place.height() + dy);
        // The template's rectangle is the widget's, whatever size the widget would pick itself
        // (a push button's own height is fixed).
        if (QWidget* widget = entry.item->widget()) {
            widget->setGeometry(place);
        } else {
            entry.item->setGeometry(place);
        }
    }
}
