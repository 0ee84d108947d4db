#include "core/FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "core/System.h"
#include "core/UserError.h"

namespace brivant {

std::string SystemErrorText(int err) {
    return std::strerror(err);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

std::string SafeFileName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool c1 = c == 0xC2 && i + 1 < name.size() &&
                        static_cast<unsigned char>(name[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(name[i + 1]) <= 0x9F;
        if (c1) ++i;
        out.push_back(c < 0x20 || c == 0x7F || c == '/' || c == '\\' || c1 ? '_' : name[i]);
    }
    if (!out.empty() && out.find_first_not_of('.') == std::string::npos)
        out.assign(out.size(), '_');
    return out;
}

namespace {
constexpr const char* kCannotCreate = "Cannot create file %s (%s)";
constexpr const char* kCannotBackup = "Cannot create backup %s. (%s)";
constexpr const char* kBackupNotPlaced =
    "%s was saved, but its backup %s could not be replaced (%s): the image as it was before "
    "this save is kept as %s until the next save in that folder";
constexpr const char* kTempMark = ".tmp~";
constexpr std::size_t kSuffixSize = 8;

// errno after a failed call; a call that failed without saying why still gets a reason.
int LastError() {
    return errno != 0 ? errno : EIO;
}

FileId IdOfStat(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// Why something that is not a regular file cannot be read or replaced.
std::string KindProblem(mode_t mode) {
    if (S_ISDIR(mode)) return "It is a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "It is a device, not a file";
    if (S_ISFIFO(mode)) return "It is a named pipe, not a file";
    if (S_ISSOCK(mode)) return "It is a socket, not a file";
    return "It is not a regular file";
}

std::string TooLarge(std::uint64_t size) {
    return "It is larger than 64 MiB (" + std::to_string(size) + " bytes), more than any flash";
}

std::string StatProblem(const struct stat& st) {
    if (!S_ISREG(st.st_mode)) return KindProblem(st.st_mode);
    if (static_cast<std::uint64_t>(st.st_size) > kMaxInputSize)
        return TooLarge(static_cast<std::uint64_t>(st.st_size));
    return {};
}

std::string FailText(const std::string& failText, const std::string& path,
                     const std::string& reason) {
    const auto first = failText.find("%s");
    if (first != std::string::npos && failText.find("%s", first + 2) != std::string::npos)
        return Format(failText, {path, reason});
    return Format(failText, {path}) + " (" + reason + ")";
}

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

// A suffix no other save picks: the temporary name must not be guessable, and it is created
// exclusively all the same.
std::string RandomSuffix() {
    static std::mt19937_64 gen{std::random_device{}() ^
                               (static_cast<std::uint64_t>(::getpid()) << 32)};
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string s(kSuffixSize, 'x');
    for (char& c : s) c = kChars[gen() % (sizeof(kChars) - 1)];
    return s;
}
}  // namespace

std::optional<FileId> IdOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return IdOfStat(st);
}

std::string InputProblem(const std::string& path) {
    struct stat st {};
    errno = 0;
    if (::stat(path.c_str(), &st) != 0) return SystemErrorText(LastError());
    return StatProblem(st);
}

std::string OutputProblem(const std::string& path) {
    struct stat st {};
    errno = 0;
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? std::string{} : SystemErrorText(LastError());
    if (S_ISLNK(st.st_mode)) {
        errno = 0;
        if (::stat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) return "It is a link to a file that does not exist";
            return SystemErrorText(LastError());
        }
    }
    return S_ISREG(st.st_mode) ? std::string{} : KindProblem(st.st_mode);
}

FileContent ReadFileContent(const std::string& path, const std::string& failText) {
    auto fail = [&](const std::string& reason) {
        return UserError(FailText(failText, path, reason));
    };
    // Checked before opening: opening a FIFO waits for a writer, and a device never ends.
    if (const std::string problem = InputProblem(path); !problem.empty()) throw fail(problem);
    errno = 0;
    const FdCloser f{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (f.fd < 0) throw fail(SystemErrorText(LastError()));
    // The path may have been replaced since it was looked at: what counts is what was opened.
    struct stat st {};
    if (::fstat(f.fd, &st) != 0) throw fail(SystemErrorText(LastError()));
    if (const std::string problem = StatProblem(st); !problem.empty()) throw fail(problem);

    FileContent content;
    content.id = IdOfStat(st);
    // Read straight into storage of the size the file has; a file that grew since its size was
    // taken is read on to its end all the same, up to the limit, and one that shrank ends
    // where it ends.
    std::size_t have = 0;
    content.bytes.resize(static_cast<std::size_t>(st.st_size));
    const auto readInto = [&](std::uint8_t* at, std::size_t room) -> std::size_t {
        for (;;) {
            const ssize_t got = ::read(f.fd, at, room);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) throw fail(SystemErrorText(LastError()));
        }
    };
    while (have < content.bytes.size()) {
        const std::size_t got = readInto(content.bytes.data() + have, content.bytes.size() - have);
        if (got == 0) break;
        have += got;
    }
    content.bytes.resize(have);
    if (have == static_cast<std::size_t>(st.st_size)) {
        std::array<std::uint8_t, 16384> more;
        while (const std::size_t got = readInto(more.data(), more.size())) {
            content.bytes.insert(content.bytes.end(), more.data(), more.data() + got);
            if (content.bytes.size() > kMaxInputSize) throw fail(TooLarge(content.bytes.size()));
        }
    }
    content.writable = sys::CanWrite(path);
    return content;
}

Bytes ReadWholeFile(const std::string& path, const std::string& failText) {
    return ReadFileContent(path, failText).bytes;
}

namespace {
std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// Whether `name` is what a save of the file `base` names its temporary files: the file's own
// name or its backup's, ".tmp~" and a suffix of eight letters and digits.
bool IsTempOf(const std::string& name, const std::string& base) {
    if (name.size() < base.size() + 5 + kSuffixSize || name.compare(0, base.size(), base) != 0)
        return false;
    const std::size_t mark = name.size() - kSuffixSize - 5;
    if (name.compare(mark, 5, kTempMark) != 0) return false;
    const std::string middle = name.substr(base.size(), mark - base.size());
    if (!middle.empty() && middle != ".bak") return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(mark + 5), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

// A save that was killed may have left a temporary file of the same file behind; the next
// save in that folder removes it. Only regular files go, and a failure to remove one is no
// reason to refuse the save.
void RemoveStaleTemps(const std::string& target) {
    const std::filesystem::path t(target);
    const std::string base = t.filename().string();
    std::error_code ec;
    std::filesystem::directory_iterator it(FolderOf(target), ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!IsTempOf(name, base)) continue;
        struct stat st {};
        const std::string path = it->path().string();
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
    }
}
}  // namespace

PendingFile::PendingFile(const std::string& path) : path_(path), target_(path) {
    if (const std::string problem = OutputProblem(path); !problem.empty())
        throw UserError(Format(kCannotCreate, {path, problem}));
    struct stat st {};
    // Any failure to look but "not there" is a failure: taken for an absent file, it would
    // replace the file without its backup.
    errno = 0;
    const bool looked = ::lstat(path.c_str(), &st) == 0;
    if (!looked && errno != ENOENT) Fail(LastError());
    if (looked && S_ISLNK(st.st_mode)) {
        // The file the link names is what gets replaced; the link stays a link.
        errno = 0;
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr),
                                                               &std::free);
        if (!real) Fail(LastError());
        target_ = real.get();
    }
    errno = 0;
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (!exists && errno != ENOENT) Fail(LastError());
    if (exists) targetId_ = IdOfStat(st);
    RemoveStaleTemps(target_);

    // Nameless until committed: a crash at any point leaves no file behind. Where there are
    // no such files, the named way below takes over.
    fd_ = sys::OpenUnnamed(FolderOf(target_));
    unnamed_ = fd_ >= 0;
    for (int attempt = 0; fd_ < 0; ++attempt) {
        const std::string name = target_ + kTempMark + RandomSuffix();
        errno = 0;
        // A new file only: never one (or a link) that is already there. A new target gets the
        // mode new files get.
        fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt >= 100)) Fail(LastError());
        if (fd_ >= 0) temp_ = name;
    }
    if (exists) {
        // The owner first: changing it may clear the set-id bits that the mode then restores.
        sys::KeepOwner(fd_, st.st_uid, st.st_gid);
        errno = 0;
        if (::fchmod(fd_, st.st_mode & 07777) != 0) Fail(LastError());
    }
    struct stat made {};
    if (::fstat(fd_, &made) != 0) Fail(LastError());
    newId_ = IdOfStat(made);
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void PendingFile::Fail(int err) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    throw UserError(Format(kCannotCreate, {path_, SystemErrorText(err != 0 ? err : EIO)}));
}

void PendingFile::Write(const Bytes& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        errno = 0;
        const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) Fail(n < 0 ? LastError() : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    // On the disk before it takes the target's name: a crash never leaves an empty image.
    errno = 0;
    if (!sys::SyncFile(fd_)) Fail(LastError());
    // An unnamed file is reached only through its descriptor until it is linked in.
    if (unnamed_) return;
    errno = 0;
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) Fail(LastError());
}

bool PendingFile::LinkUnnamed(const std::string& name) {
    return sys::NameUnnamed(fd_, name);
}

std::string PendingFile::MakeBackup(const std::string& backup, const std::string& failText) {
    const auto fail = [&](const std::string& reason) {
        return UserError(Format(failText.empty() ? kCannotBackup : failText, {backup, reason}));
    };
    // A second name for the old file, made while the target still has it: no instant passes
    // without the old content under a name. The name is a temporary one: the previous backup
    // keeps its name until the new image has taken the target's.
    for (int attempt = 0;; ++attempt) {
        const std::string name = backup + kTempMark + RandomSuffix();
        errno = 0;
        if (sys::HardLink(target_, name)) return name;
        if (errno == EEXIST && attempt < 100) continue;
        if (errno == EEXIST) throw fail(SystemErrorText(EEXIST));
        // No links on this file system: a copy, written as every file is.
        try {
            WriteFileAtomic(name, ReadWholeFile(target_, "%s"));
        } catch (const UserError& e) {
            throw fail(e.what());
        }
        return name;
    }
}

void PendingFile::Place() {
    bool placed = false;
    if (unnamed_) {
        // A new file is linked in under its name at once. A name that is taken cannot be
        // replaced by a link: the content gets a fresh name beside it and is renamed over it
        // right away, the one instant at which a crash leaves a temporary file.
        if (!targetId_) {
            placed = LinkUnnamed(target_);
            if (!placed && errno != EEXIST) Fail(LastError());
        }
        for (int attempt = 0; !placed && temp_.empty(); ++attempt) {
            const std::string name = target_ + kTempMark + RandomSuffix();
            if (LinkUnnamed(name))
                temp_ = name;
            else if (errno != EEXIST || attempt >= 100)
                Fail(LastError());
        }
    }
    errno = 0;
    if (!placed && ::rename(temp_.c_str(), target_.c_str()) != 0) Fail(LastError());
}

void PendingFile::Commit(const std::string& backup, const std::string& backupFailText) {
    const std::string backupTemp =
        backup.empty() ? std::string{} : MakeBackup(backup, backupFailText);
    try {
        Place();
    } catch (...) {
        // The image keeps its name and the previous backup its own.
        if (!backupTemp.empty()) ::unlink(backupTemp.c_str());
        throw;
    }
    committed_ = true;
    if (fd_ >= 0) {
        // The content is on the disk and named: a late close error loses nothing.
        ::close(fd_);
        fd_ = -1;
    }
    // Now that the new image has the name, the old one takes the backup's.
    errno = 0;
    const bool backedUp = backupTemp.empty() || ::rename(backupTemp.c_str(), backup.c_str()) == 0;
    const int err = LastError();
    // The new names on the disk too; a folder that cannot be synced loses nothing written.
    sys::SyncFolder(FolderOf(target_));
    if (!backedUp)
        throw UserError(
            Format(kBackupNotPlaced, {path_, backup, SystemErrorText(err), backupTemp}));
}

void WriteFileAtomic(const std::string& path, const Bytes& data) {
    PendingFile out(path);
    out.Write(data);
    out.Commit();
}

void WriteFileRaw(const std::string& path, const Bytes& data) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw UserError(Format(kCannotCreate, {path, SystemErrorText(LastError())}));
    errno = 0;
    const bool ok = (data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size()) &&
                    std::fflush(f) == 0;
    const int err = LastError();
    const bool closed = std::fclose(f) == 0;
    if (!ok || !closed) throw UserError(Format(kCannotCreate, {path, SystemErrorText(err)}));
}

}  // namespace brivant
