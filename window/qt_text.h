// The window's edge between the program's Windows-1250 texts and Qt's strings.
#pragma once

#include <QString>
#include <string>

#include "engine/cp1250.h"

namespace plotrak {

inline QString ToQt(const std::string& cp1250) {
  return QString::fromStdString(ToUtf8(cp1250));
}

inline std::string FromQt(const QString& text) {
  return FromUtf8(text.toStdString());
}

}  // namespace plotrak
