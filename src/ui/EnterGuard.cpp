#include "ui/EnterGuard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

bool IsEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

CEnterGuard::CEnterGuard(QWidget* window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
}

CEnterGuard::~CEnterGuard() { qApp->removeEventFilter(this); }

bool CEnterGuard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (event == m_replay || (type != QEvent::KeyPress && type != QEvent::KeyRelease)) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!widget || widget->window() != m_window || !IsEnter(*key)) return false;
    if (type == QEvent::KeyPress) {
        // Held down, the key repeats: only its first press counts, and only at its release.
        if (!key->isAutoRepeat()) m_pressedOn = watched;
        return true;
    }
    if (key->isAutoRepeat() || m_pressedOn != watched) {
        m_pressedOn = nullptr;
        return false;
    }
    m_pressedOn = nullptr;
    QKeyEvent press(QEvent::KeyPress, key->key(), key->modifiers(), key->text());
    const QPointer<QObject> target(watched);
    m_replay = &press;
    QApplication::sendEvent(watched, &press);
    m_replay = nullptr;
    return target.isNull();  // the release has nowhere to go once its widget is gone
}
