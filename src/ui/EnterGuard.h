#pragma once

#include <QObject>

class QWidget;

// Lets Enter act in a window only when the window saw the key go down as well as up. An Enter
// pressed to close another dialog (a file chooser, a message box) otherwise arrives here as
// the key's release or its auto-repeat, and a dialog's default button would take it as its
// own: the main window's Start would run a conversion nobody asked for. The press is held
// back until its release and then handed on, so everything Enter does stays as it was.
class CEnterGuard final : public QObject {
    Q_OBJECT
public:
    // Watches every key event of the application that is meant for window's widgets.
    explicit CEnterGuard(QWidget* window);
    ~CEnterGuard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    QObject* m_pressedOn = nullptr;  // where the held-back press went
    QEvent* m_replay = nullptr;  // the held-back press, handed on
};
