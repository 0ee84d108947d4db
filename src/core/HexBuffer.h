#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/FileIO.h"
#include "core/HexText.h"

namespace brivant {

class MemStream;

// The byte buffer every feature reads and changes the image through: a cursor, an
// inclusive selection remembered from its anchor, copy-out, replace-selection, hex-text
// access and forward search. Range errors throw UserError with the fixed texts below.
class HexBuffer {
  public:
    static constexpr const char* kInvalidSelStart = "Invalid selection start";
    static constexpr const char* kInvalidSelEnd = "Invalid selection end";
    static constexpr const char* kInvalidCopyStart = "Invalid buffer from file argument";
    static constexpr const char* kCannotOpen = "Cannot open %s.\r\n(%s.)";
    static constexpr const char* kReadonly = "Cannot save readonly file %s.";
    static constexpr const char* kCannotDeleteBackup = "Cannot delete previous backup %s. (%s)";
    static constexpr const char* kCannotBackup = "Cannot create backup %s. (%s)";

    explicit HexBuffer(bool noSizeChange) : noSizeChange_(noSizeChange) {}

    std::int32_t Size() const { return static_cast<std::int32_t>(bytes_.size()); }
    bool Empty() const { return bytes_.empty(); }

    void SetSelectionStart(std::int32_t pos);
    void SetSelectionEnd(std::int32_t pos);
    std::int32_t SelectionStart() const;
    std::int32_t SelectionEnd() const;
    std::int32_t SelectionLength() const;
    void SelectAll();
    std::int32_t CursorPosition() const;

    void ReplaceSelected(const std::uint8_t* data, std::int32_t n);
    void ReplaceSelected(const Bytes& b) {
        ReplaceSelected(b.data(), static_cast<std::int32_t>(b.size()));
    }
    // n is cut to what the buffer holds from pos on.
    Bytes CopyBytes(std::int32_t pos, std::int32_t n) const;

    std::string HexText() const { return BytesToHex(bytes_); }
    void SetHexText(std::string_view text);

    std::int32_t Search(const std::uint8_t* pattern, std::int32_t n, std::int32_t from,
                        std::int32_t to, bool ignoreCase) const;

    void LoadFile(const std::string& path);
    // Takes a file read with ReadFileContent, as LoadFile does: for callers that look at the
    // bytes before they replace what the buffer holds.
    void Adopt(FileContent file, const std::string& path);
    // Writes through a temporary file. Overwriting the file the buffer was loaded from, or
    // last saved to, keeps its previous content as path + BackupExtension; which file that is
    // is decided by identity, so any spelling of its path (or a link to it) counts.
    void SaveFile(const std::string& path, bool clearModified);
    void LoadStream(const MemStream& stream);
    void SaveStream(MemStream& stream) const;
    bool HasUnsavedChanges() const;

    // Direct read access for readers that walk large ranges (checksums, benchmarks).
    const Bytes& Data() const { return bytes_; }
    const std::string& FileName() const { return fileName_; }
    // The file the buffer now belongs to (loaded or saved with clear-modified); empty when none.
    const std::optional<FileId>& FileIdentity() const { return fileId_; }
    bool Modified() const { return modified_; }
    // Undo and redo put back the change mark that belongs to the bytes they restore.
    void SetModified(bool modified) { modified_ = modified; }
    bool ReadOnly() const { return readOnly_; }

    // Convenience over the idioms: overwrite n bytes at p / read n bytes at p.
    void WriteAt(std::int32_t pos, const Bytes& b);
    Bytes ReadAt(std::int32_t pos, std::int32_t n);

    // Whether the size is fixed: set at construction, and taken along by a copy (assignable,
    // so that a long-lived session can take another's state into the room it already has).
    bool NoSizeChange() const { return noSizeChange_; }
    bool CreateBackup = true;
    std::string BackupExtension = ".bak";

  private:
    bool HasSelection() const { return anchor_ >= 0; }
    void ClearSelection() { anchor_ = -1; }
    void Reset(Bytes bytes);

    bool noSizeChange_;
    Bytes bytes_;
    std::int32_t cursor_ = 0;
    std::int32_t anchor_ = -1;
    std::int32_t low_ = 0;
    std::int32_t high_ = 0;
    bool modified_ = false;
    bool readOnly_ = false;
    std::string fileName_;
    std::optional<FileId> fileId_;
    // The file that was loaded: saving over it keeps a backup even after saves elsewhere.
    std::optional<FileId> originId_;
    bool originReadOnly_ = false;
};

}  // namespace brivant
