#pragma once

#include <string>

#include "core/HexText.h"

namespace brivant {

// Reads a whole file; throws UserError with `failText` ("%s" = path, then error text).
Bytes ReadWholeFile(const std::string& path, const std::string& failText);
// Writes through a temporary file in the same folder renamed over the target, so a failed
// write never leaves a truncated file. Throws UserError "Cannot create file %s".
void WriteFileAtomic(const std::string& path, const Bytes& data);
// Plain write (create or truncate); throws UserError "Cannot create file %s".
void WriteFileRaw(const std::string& path, const Bytes& data);
// The temporary name used beside a target while it is written.
std::string TempNameFor(const std::string& path);
bool FileExists(const std::string& path);
std::string SystemErrorText(int err);

}  // namespace brivant
