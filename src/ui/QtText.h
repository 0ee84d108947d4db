#pragma once

#include <QString>
#include <string>

#include "core/PrintableText.h"

namespace brivant {

// The models keep names and texts as stored bytes: one byte per character.
inline QString FromBytes(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
// Bytes read from the image, shown in the window: control bytes as \xHH, as the command
// line prints them, so that a name is one line and shows what the image holds.
inline QString FromImageText(const std::string& s) {
    return FromBytes(PrintableText(s));
}
inline std::string ToBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

}  // namespace brivant
