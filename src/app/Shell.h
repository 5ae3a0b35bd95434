#pragma once

#include <string>

// Opening a file, a folder or a web page with the desktop's program for it (the shell's "open"
// verb), behind an interface so tests see what would have been opened.
class IShell {
public:
    // A local path or an http(s) address; false when nothing could open it.
    virtual bool Open(const std::string& target) = 0;

protected:
    ~IShell() = default;
};

class CShell final : public IShell {
public:
    bool Open(const std::string& target) override;
};
