// Runs one command of the WebAssembly command line in a running cli-server: the server opens
// this process's standard streams and runs the program with this process's arguments, folder
// and environment; this process writes what the program wrote into standard streams that
// are files, moves a standard input that is a file on past what the program read, and ends
// with the program's exit status. The tests name it in BRIVANT_CLI in place of
// "node brivant-cli.js" (scripts/wasm.sh).
//
// Usage: CliClient SOCKET WORKERS ARGS...

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>

extern char** environ;

namespace {

int Fail(const std::string& what) {
    std::fprintf(stderr, "CliClient: %s: %s\n", what.c_str(), std::strerror(errno));
    return 125;
}

bool SendAll(int fd, const std::string& data) {
    for (std::size_t sent = 0; sent < data.size();) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

// A worker no other caller holds, held until this process ends: a worker runs one command
// at a time, and a command of a pipeline must not wait behind the command it reads from.
int TakeWorker(const std::string& base, int workers) {
    for (int round = 0;; ++round) {
        for (int k = 0; k < workers; ++k) {
            const int i = (static_cast<int>(::getpid()) + k) % workers;
            const std::string lock = base + "." + std::to_string(i) + ".lock";
            const int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (fd < 0) return -1;
            if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return i;
            ::close(fd);
        }
        ::usleep(round < 100 ? 1000 : 20000);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[2]) < 1) {
        std::fprintf(stderr, "usage: CliClient SOCKET WORKERS ARGS...\n");
        return 125;
    }
    const int worker = TakeWorker(argv[1], std::atoi(argv[2]));
    if (worker < 0) return Fail("lock");
    const std::string socketPath = std::string(argv[1]) + "." + std::to_string(worker);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return Fail(socketPath);
    }
    std::strcpy(address.sun_path, socketPath.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return Fail("socket");
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return Fail(socketPath);

    std::error_code ec;
    std::string request = std::to_string(::getpid()) + '\0' +
                          std::filesystem::current_path(ec).string() + '\0' +
                          std::to_string(argc - 3) + '\0';
    for (int i = 3; i < argc; ++i) request += std::string(argv[i]) + '\0';
    for (char** e = environ; *e; ++e) request += std::string(*e) + '\0';
    if (!SendAll(fd, request) || ::shutdown(fd, SHUT_WR) != 0) return Fail("send");

    std::string reply;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail("receive");
        if (n == 0) break;
        reply.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    // The status, where standard input ends when it is a file (-1 otherwise), and the count of
    // pieces written into files; then each piece: its descriptor, its size, its bytes.
    const std::size_t head = reply.find('\n');
    std::istringstream fields(reply.substr(0, head));
    int status = 0;
    long long inputEnd = -1;
    std::size_t pieces = 0;
    if (head == std::string::npos || !(fields >> status >> inputEnd >> pieces)) {
        std::fprintf(stderr, "CliClient: the server ended without a status\n");
        return 125;
    }
    if (inputEnd >= 0) ::lseek(0, static_cast<off_t>(inputEnd), SEEK_SET);
    std::size_t at = head + 1;
    for (std::size_t k = 0; k < pieces; ++k) {
        const std::size_t line = reply.find('\n', at);
        std::istringstream piece(reply.substr(at, line - at));
        int target = -1;
        std::size_t size = 0;
        if (line == std::string::npos || !(piece >> target >> size) ||
            reply.size() - line - 1 < size) {
            std::fprintf(stderr, "CliClient: the server's reply is cut short\n");
            return 125;
        }
        at = line + 1;
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::write(target, reply.data() + at + done, size - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return Fail("write");
            done += static_cast<std::size_t>(n);
        }
        at += size;
    }
    return status;
}
