#pragma once

#include <string>

class QWidget;

// Every message box of the program goes through this, so tests can read what would have been
// shown instead of a person clicking it away.
class IMessageBoxes {
public:
    enum class Icon { Error, Warning, Information };

    virtual void Show(QWidget* owner, const std::string& text, const std::string& caption,
                      Icon icon) = 0;

protected:
    ~IMessageBoxes() = default;
};

// The real boxes: a modal QMessageBox with an OK button.
class CMessageBoxes final : public IMessageBoxes {
public:
    void Show(QWidget* owner, const std::string& text, const std::string& caption,
              Icon icon) override;
};
