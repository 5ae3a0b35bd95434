#pragma once

#include <string>
#include <vector>

class QWidget;

// Every message box of the program goes through this, so tests can read what would have been
// shown instead of a person clicking it away.
class IMessageBoxes {
public:
    enum class Icon { Error, Warning, Information };

    virtual void Show(QWidget* owner, const std::string& text, const std::string& caption,
                      Icon icon) = 0;
    // A question answered by one of buttons (their texts, the first the default): the index of
    // the button pressed, or -1 when the box was closed without one. Unless overridden, the
    // box is closed unanswered.
    virtual int Ask(QWidget* /*owner*/, const std::string& /*text*/, const std::string& /*caption*/,
                    const std::vector<std::string>& /*buttons*/) {
        return -1;
    }
    // A short report (text) with a longer list below it (details, one entry a line) in an area
    // that scrolls instead of growing past the screen; no area when details is empty. Unless
    // overridden, it is shown as one box.
    virtual void ShowReport(QWidget* owner, const std::string& text, const std::string& details,
                            const std::string& caption, Icon icon) {
        Show(owner, details.empty() ? text : text + "\n\n" + details, caption, icon);
    }

protected:
    ~IMessageBoxes() = default;
};

// The real boxes: a modal QMessageBox with an OK button; the report is a dialog of its own.
class CMessageBoxes final : public IMessageBoxes {
public:
    void Show(QWidget* owner, const std::string& text, const std::string& caption,
              Icon icon) override;
    int Ask(QWidget* owner, const std::string& text, const std::string& caption,
            const std::vector<std::string>& buttons) override;
    void ShowReport(QWidget* owner, const std::string& text, const std::string& details,
                    const std::string& caption, Icon icon) override;
};
