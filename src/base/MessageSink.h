#pragma once

#include <string>

// Where the layers below the user interface send a message the user must see. The GUI shows
// a message box, the command-line front end prints it, tests record it.
class IMessageSink {
public:
    enum class Icon { Error, Warning, Information };

    virtual void ShowMessage(const std::string& text, const std::string& caption, Icon icon) = 0;

protected:
    ~IMessageSink() = default;
};
