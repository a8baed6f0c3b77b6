// UTF-8 texts of the core as Qt strings and back.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velk::gui {

inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }
inline std::string U(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace velk::gui
