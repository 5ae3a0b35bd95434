#pragma once

#include <QString>
#include <string>

// kelto keeps its texts as UTF-8 std::string; Qt wants QString.
inline QString ToQString(const std::string& text) { return QString::fromStdString(text); }
inline std::string ToStdString(const QString& text) { return text.toStdString(); }
