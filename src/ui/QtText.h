#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>
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

// A language text with its "%s" and "%d" filled in order by values; placeholders without a
// value stay as they are.
inline QString FillText(QString text, const QStringList& values) {
    qsizetype from = 0;
    for (const QString& value : values) {
        const qsizetype s = text.indexOf(QStringLiteral("%s"), from);
        const qsizetype d = text.indexOf(QStringLiteral("%d"), from);
        const qsizetype at = s < 0 ? d : (d < 0 ? s : std::min(s, d));
        if (at < 0) break;
        text.replace(at, 2, value);
        from = at + value.size();
    }
    return text;
}
