#pragma once

#include <QString>
#include <QStringList>
#include <algorithm>
#include <string>

// kelto keeps its texts as UTF-8 std::string; Qt wants QString.
inline QString ToQString(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStdString(const QString& text) { return text.toStdString(); }

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
