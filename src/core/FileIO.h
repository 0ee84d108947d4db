#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/HexText.h"

namespace brivant {

// No phone's flash is larger: a bigger file is not an image nor any file the editor reads.
inline constexpr std::uint64_t kMaxInputSize = std::uint64_t{64} << 20;

// Which file a path names (after following links): two spellings of one file, or a link and
// the file it names, have the same identity.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileId&) const = default;
};
std::optional<FileId> IdOf(const std::string& path);

// Why `path` cannot be read as a file ("It is a folder", ...); empty when it is a regular
// file (a link is followed) of at most kMaxInputSize bytes. Nothing is opened.
std::string InputProblem(const std::string& path);
// Why `path` cannot be replaced by a new file; empty when it is a regular file or does not
// exist yet. Nothing is opened or created.
std::string OutputProblem(const std::string& path);

// A file read whole, and what the editor must know of it.
struct FileContent {
    Bytes bytes;
    FileId id;
    bool writable = false;
};

// Reads a whole regular file. Folders, devices, FIFOs and sockets are refused before they
// are opened, and so is a file larger than kMaxInputSize. Throws UserError with `failText`
// filled with the path and the reason ("%s" twice), or the path with the reason appended
// when `failText` has one "%s".
FileContent ReadFileContent(const std::string& path, const std::string& failText);
Bytes ReadWholeFile(const std::string& path, const std::string& failText);

// A new content for a file, written beside it and put in its place by Commit, so that the
// name holds the whole old file or the whole new one at every instant, a crash included. The
// target must be a regular file or not exist; a link is followed and the file it names is
// replaced, keeping its mode. Where the file system allows it the new content is an unnamed
// file in the target's folder that gets a name only at the end, so a crash leaves nothing
// behind; elsewhere it has a fresh name, created exclusively in that folder, and is removed
// unless committed. Failures throw UserError "Cannot create file %s (reason)".
class PendingFile {
  public:
    explicit PendingFile(const std::string& path);
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    // The file that will be replaced: the path itself, or the file its link names.
    const std::string& Target() const { return target_; }
    // Identity of the file there now; empty when there is none yet.
    const std::optional<FileId>& TargetId() const { return targetId_; }
    // Identity the target has once committed.
    const FileId& NewId() const { return newId_; }

    // Writes the whole content and flushes it to the disk.
    void Write(const Bytes& data);
    // Puts the new content under the target's name. With `backup`, the file there now is
    // first given a second, temporary name (a link to it, or a copy where the file system
    // has no links), which replaces `backup` only once the new content has the target's
    // name: the old content is never without a name, and a save that fails keeps the
    // previous backup. Failures to make the backup throw UserError `backupFailText` (backup
    // path, reason) with the target untouched. Temporary files that a killed save of the
    // same file left in the folder are removed when the next one starts.
    void Commit(const std::string& backup = {}, const std::string& backupFailText = {});

  private:
    [[noreturn]] void Fail(int err);
    // Gives the file there now a second, temporary name beside `backup`; returns it.
    std::string MakeBackup(const std::string& backup, const std::string& failText);
    // Puts the new content under the target's name.
    void Place();
    // Gives the unnamed file the name `name`; false (errno set) when it cannot.
    bool LinkUnnamed(const std::string& name);

    std::string path_, target_, temp_;
    std::optional<FileId> targetId_;
    FileId newId_;
    int fd_ = -1;
    bool unnamed_ = false;  // the content has no name yet
    bool committed_ = false;
};

// Writes the file through a PendingFile.
void WriteFileAtomic(const std::string& path, const Bytes& data);
// Plain write (create or truncate); throws UserError "Cannot create file %s (reason)".
void WriteFileRaw(const std::string& path, const Bytes& data);
bool FileExists(const std::string& path);
// A name (UTF-8) as a file dialog may offer it: control characters (C0, DEL and C1) and
// the folder separators become "_", and a name of dots only, which names a folder, too.
std::string SafeFileName(std::string_view name);
std::string SystemErrorText(int err);

}  // namespace brivant
