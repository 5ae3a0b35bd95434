#pragma once

#include <QString>
#include <string>

// kelto keeps its texts as UTF-8 std::string; Qt wants QString.
inline QString ToQString(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStdString(const QString& text) { return text.toStdString(); }

// A control's caption as plain text: its mnemonic marks go ("&Start" is "Start", "&&" is "&").
// For captions that are also used as headers, accessible names or messages.
inline QString WithoutMnemonic(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        plain += caption[i];
    }
    return plain;
}
