#pragma once

#include <QProxyStyle>

// The platform's style with a focus mark that shows on every control once the keyboard has
// moved the focus: a ring in the highlight colour around a focused button's text (the default
// button included, whose own look resembles the plain style's focus look), a check box's or
// radio button's label and a list's current cell, and the frame of a focused list drawn in the
// highlight colour.
class CFocusStyle final : public QProxyStyle {
    Q_OBJECT
public:
    CFocusStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;

    // Makes it the application's style, over the style Qt picked; once.
    static void Install();
};
