#pragma once

#include <QLayout>
#include <QRect>
#include <vector>

// Places each widget where a dialog template puts it, in dialog units converted with the
// parent's font, and keeps the template's arrangement when the window is resized: an item
// may move with the right or bottom edge, or grow with it. The template's size is the
// smallest size the layout takes.
class CTemplateLayout final : public QLayout {
public:
    enum Anchor {
        kFixed = 0,
        kMoveX = 1,
        kMoveY = 2,
        kSizeX = 4,
        kSizeY = 8,
        // The widget keeps its own preferred height (a combo box's template height is the
        // height of its open list).
        kHintHeight = 16,
    };

    // The template's size in dialog units.
    CTemplateLayout(QWidget* parent, int widthUnits, int heightUnits);
    ~CTemplateLayout() override;

    // Adds widget at the template rectangle x, y, width, height (dialog units).
    void AddWidget(QWidget* widget, int x, int y, int width, int height, int anchors = kFixed);
    // The same for a control of the template: its id becomes its object name ("ctl1000").
    void AddControl(QWidget* control, int id, int x, int y, int width, int height,
                    int anchors = kFixed);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

    // Dialog units to pixels for the parent's font.
    QRect ToPixels(const QRect& units) const;

private:
    struct Entry {
        QLayoutItem* item = nullptr;
        QRect units;
        int anchors = kFixed;
    };

    QSize m_units;
    std::vector<Entry> m_entries;
};
