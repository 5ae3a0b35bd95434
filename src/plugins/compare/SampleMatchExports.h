#pragma once

// What kel_compare exports besides the seven functions of the plug-in contract
// (core/PluginContract.h).

class IChoosers;

extern "C" {

// Lets the dialog ask choosers other than the real file dialogs (the tests answer them); null
// goes back to the real ones. Takes effect from the next file chooser on; not owned.
void SampleMatchSetChoosers(IChoosers* choosers);
typedef void (*KeltoSampleMatchSetChoosers)(IChoosers* choosers);
}

inline constexpr const char* kSampleMatchSetChoosersSymbol = "SampleMatchSetChoosers";
