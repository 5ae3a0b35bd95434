#pragma once

#include <string>

class CSettingsSet;
class QWidget;

// One page of the Options dialog. The dialog creates a page's window only when the page is
// first shown, so a page that was never shown has no window and writes nothing.
class COptionsPage {
public:
    virtual ~COptionsPage() = default;

    // Writes the page's controls into the settings, only if the page's window exists.
    virtual void Apply() = 0;
    virtual void Cancel() = 0;
    // Right after the page's window was created.
    virtual void OnCreated() = 0;
    // The page's title; "\\" separates the levels of the dialog's page tree.
    virtual std::string GetTitle() const = 0;
    // Creates the page's window as a child of parent, laid out by its own layout (the dialog
    // places it); its controls follow insertAfter in the Tab order.
    virtual void Create(QWidget* parent, QWidget* insertAfter) = 0;
    virtual void Destroy() = 0;
    virtual void Show(bool show) = 0;
    virtual void SetSettings(CSettingsSet* settings) = 0;
    // The page's window; null before Create and after Destroy.
    virtual QWidget* GetWindow() const = 0;
};
