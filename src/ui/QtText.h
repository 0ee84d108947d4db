#pragma once

#include <QString>
#include <string>

namespace brivant {

// The models keep names and texts as stored bytes: one byte per character.
inline QString FromBytes(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::string ToBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

}  // namespace brivant
