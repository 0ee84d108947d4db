#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/HexText.h"

namespace brivant {

class HexBuffer;
class MemStream;
class Interaction;

void FixPPMCheckSum(MemStream& chunk);
void FixMCUCheckSum(MemStream& image);
void FixFLSCheckSum(MemStream& image);
std::uint32_t IterateChecksum(std::uint32_t data, std::uint32_t reg);

// The values without writing them. Empty when the input lies outside the limits
// (chunk shorter than 8 bytes, MCU range outside the file, file shorter than 128 bytes).
std::optional<std::uint32_t> ChunkChecksum(const Bytes& chunk);
std::optional<std::uint16_t> McuChecksum(const Bytes& image);
std::optional<std::uint32_t> FlsCheckValue(const Bytes& image);
// Whether the repair can run on these bytes (128 bytes or more, MCU range inside), without
// computing anything.
bool ChecksumsRepairable(const Bytes& image);

// The "Update Checksum" dialog's "&OK": repairs the MCU checksum (both copies) and the file
// check value of the file at path. Throws UserError and writes nothing on failure.
void RepairFileChecksums(const std::string& path);

// The same repair on an image in memory, before it is written: the file is then written once,
// whole, with its checksums, and never exists with stale ones. The values are those the file
// repair writes for the same bytes. Throws UserError and changes nothing on failure.
void RepairImageChecksums(HexBuffer& image);

// The dialog as a whole: asks OK / Cancel through the port and does what the answer says.
// True when the file's checksums were repaired.
bool RunChecksumDialog(Interaction& ui, const std::string& path);

inline constexpr const char* kChecksumTitle = "Update Checksum";
inline constexpr const char* kChecksumOption = "Update All Checksum";
inline constexpr const char* kChecksumCancelled =
    "You have to update checksums manually before uploading the file to your phone";

}  // namespace brivant
