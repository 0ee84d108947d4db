// WebAssembly under Node: the file calls go to Node's file system, which has no unnamed
// files; the rest Node does itself, as the emulated calls do nothing (sync) or refuse
// (links).

#include <emscripten.h>

#include <cerrno>
#include <vector>

#include "core/System.h"

namespace {

// The Node descriptor behind an emscripten one: what Node's own calls take.
// clang-format off
EM_JS(int, brivant_node_fsync, (int fd), {
    try {
        require("fs").fsyncSync(FS.getStream(fd).nfd);
        return 0;
    } catch (e) {
        return e.code === "EINVAL" || e.code === "ENOTSUP" ? 0 : 1;
    }
});

// 0 done, 1 the new name is taken, 2 no link can be made there, 3 another failure.
EM_JS(int, brivant_node_link, (const char* from, const char* to), {
    try {
        require("fs").linkSync(UTF8ToString(from), UTF8ToString(to));
        return 0;
    } catch (e) {
        if (e.code === "EEXIST") return 1;
        return ["EPERM", "ENOTSUP", "ENOSYS", "EXDEV", "EMLINK"].includes(e.code) ? 2 : 3;
    }
});

EM_JS(int, brivant_node_writable, (const char* path), {
    const fs = require("fs");
    try {
        fs.accessSync(UTF8ToString(path), fs.constants.W_OK);
        return 1;
    } catch (e) {
        return 0;
    }
});

// The emulated standard streams all say they are terminals; Node knows what they are. Only a
// character device can be one, and the null device, where output is often thrown away, is
// none: asking Node's terminal module loads its streams and sockets, which costs a run more
// than the command's own work.
EM_JS(int, brivant_node_isatty, (int fd), {
    const fs = require("fs");
    const stream = FS.getStream(fd);
    if (!stream) return 0;
    const nfd = stream.nfd;
    try {
        const st = fs.fstatSync(nfd);
        if (!st.isCharacterDevice()) return 0;
        const none = fs.statSync("/dev/null");
        if (st.rdev === none.rdev && st.ino === none.ino && st.dev === none.dev) return 0;
    } catch (e) {
        // No null device by that name (Windows): the terminal module decides.
    }
    return require("tty").isatty(nfd) ? 1 : 0;
});

EM_JS(int, brivant_node_tmpdir, (char* out, int room), {
    const dir = require("os").tmpdir();
    stringToUTF8(dir, out, room);
    return lengthBytesUTF8(dir);
});
// clang-format on

}  // namespace

namespace brivant::sys {

int OpenUnnamed(const std::string&) {
    errno = EOPNOTSUPP;
    return -1;
}

bool NameUnnamed(int, const std::string&) {
    errno = EOPNOTSUPP;
    return false;
}

bool SyncFile(int fd) {
    if (brivant_node_fsync(fd) == 0) return true;
    errno = EIO;
    return false;
}

void SyncFolder(const std::string&) {
    // Node opens no folders as files; the rename is as safe as the system makes it.
}

void KeepOwner(int, unsigned, unsigned) {
    // Node's process owns what it creates; giving files away is for the native program.
}

bool HardLink(const std::string& from, const std::string& to) {
    switch (brivant_node_link(from.c_str(), to.c_str())) {
        case 0:
            return true;
        case 1:
            errno = EEXIST;
            return false;
        case 2:
            errno = EPERM;
            return false;
        default:
            errno = EIO;
            return false;
    }
}

bool CanWrite(const std::string& path) {
    return brivant_node_writable(path.c_str()) != 0;
}

std::string TempFolder() {
    std::vector<char> buffer(4096);
    const int n = brivant_node_tmpdir(buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0 || n >= static_cast<int>(buffer.size())) return "/tmp";
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

bool IsTerminal(int fd) {
    return brivant_node_isatty(fd) != 0;
}

}  // namespace brivant::sys
