// Linux and the other POSIX systems.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/System.h"

namespace brivant::sys {

int OpenUnnamed(const std::string& folder) {
#if defined(O_TMPFILE)
    // An unnamed file can only be given a name through its entry in /proc (or by a privileged
    // process): without it the content is written under a temporary name from the start. File
    // systems without such files refuse the flag.
    if (::access("/proc/self/fd", X_OK) != 0) return -1;
    return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
#else
    (void)folder;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

bool NameUnnamed(int fd, const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    errno = 0;
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return true;
#if defined(AT_EMPTY_PATH)
    if (errno != EEXIST) {
        const int first = errno;
        if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) return true;
        if (errno != EEXIST) errno = first;
    }
#endif
    return false;
}

bool SyncFile(int fd) {
    return ::fsync(fd) == 0;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void KeepOwner(int fd, unsigned owner, unsigned group) {
    // Only the superuser can give the file away; anyone else keeps being its owner.
    if ((owner != ::geteuid() || group != ::getegid()) && ::fchown(fd, owner, group) != 0) {
        // Not allowed: the new file stays ours, as any file we create.
    }
}

bool HardLink(const std::string& from, const std::string& to) {
    return ::link(from.c_str(), to.c_str()) == 0;
}

bool CanWrite(const std::string& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

std::string TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

bool IsTerminal(int fd) {
    return ::isatty(fd) == 1;
}

}  // namespace brivant::sys
