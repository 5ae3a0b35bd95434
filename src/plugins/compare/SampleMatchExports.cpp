// The exports of kel_compare: the seven functions of the plug-in contract, and the chooser
// hook. The host calls all of them on its user-interface thread.

#include "plugins/compare/SampleMatchExports.h"

#include <QApplication>
#include <cwchar>
#include <memory>
#include <new>
#include <type_traits>

#include "core/PluginContract.h"
#include "plugins/compare/DlgPluginSampleMatch.h"

namespace {

// The plug-in's one dialog object, from InitPlugin to DeInitPlugin.
std::unique_ptr<CDlgPluginSampleMatch> g_dialog;

bool CopyText(wchar_t* buffer, const wchar_t* text) {
    if (!buffer) return false;
    std::size_t length = std::wcslen(text);
    if (length >= KELTO_PLUGIN_TEXT_LENGTH) length = KELTO_PLUGIN_TEXT_LENGTH - 1;
    std::wmemcpy(buffer, text, length);
    buffer[length] = L'\0';
    return true;
}

}  // namespace

extern "C" {

int InitPlugin(void) {
    g_dialog.reset();
    // A dialog needs the host's application object; a host without one gets no plug-in.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return 0;
    try {
        g_dialog = std::make_unique<CDlgPluginSampleMatch>();
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}

bool DeInitPlugin(void) {
    g_dialog.reset();
    return true;
}

bool GetPluginName(wchar_t* buffer) { return CopyText(buffer, L"SampleMatch"); }

bool GetPluginVersion(wchar_t* buffer) { return CopyText(buffer, L"1.0.0.1"); }

bool ShowPluginDialog(void* owner) {
    if (!g_dialog) return false;
    g_dialog->DoModal(static_cast<QWidget*>(owner));
    return true;
}

bool SetLanguage(void* languageManager) {
    if (g_dialog) g_dialog->SetLanguage(languageManager);
    return true;
}

bool SetCoreObject(ICore* core) {
    if (g_dialog) g_dialog->SetCore(core);
    return true;
}

void SampleMatchSetChoosers(IChoosers* choosers) {
    if (g_dialog) g_dialog->SetChoosers(choosers);
}
}

// The exports keep the contract's signatures.
static_assert(std::is_same_v<decltype(&GetPluginName), KeltoGetPluginName>);
static_assert(std::is_same_v<decltype(&GetPluginVersion), KeltoGetPluginVersion>);
static_assert(std::is_same_v<decltype(&ShowPluginDialog), KeltoShowPluginDialog>);
static_assert(std::is_same_v<decltype(&InitPlugin), KeltoInitPlugin>);
static_assert(std::is_same_v<decltype(&DeInitPlugin), KeltoDeInitPlugin>);
static_assert(std::is_same_v<decltype(&SetLanguage), KeltoSetLanguage>);
static_assert(std::is_same_v<decltype(&SetCoreObject), KeltoSetCoreObject>);
static_assert(std::is_same_v<decltype(&SampleMatchSetChoosers), KeltoSampleMatchSetChoosers>);
