#include "support/TestSupport.h"

#include "support/CliProgram.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "cli/Pictures.h"
#include "cli/RunCli.h"
#include "ppm/Checksums.h"

#include "app/FileFlow.h"
#include "core/FileIO.h"
#include "core/UserError.h"

namespace brivant::test {

namespace {
template <typename T>
T Pop(std::deque<T>& q, T fallback) {
    if (q.empty()) return fallback;
    T v = q.front();
    q.pop_front();
    return v;
}
}  // namespace

std::optional<std::string> FakeUi::askOpenFile(const FileDialog& d) {
    openAsked.push_back(d);
    return Pop(openAnswers, std::optional<std::string>());
}
std::optional<std::string> FakeUi::askSaveFile(const FileDialog& d) {
    saveAsked.push_back(d);
    return Pop(saveAnswers, std::optional<std::string>());
}
void FakeUi::tell(const std::string& text, MessageKind kind) {
    told.emplace_back(text, kind);
}
std::optional<std::string> FakeUi::askText(const std::string& title, const std::string& prompt,
                                           const std::string&) {
    textAsked.emplace_back(title, prompt);
    return Pop(textAnswers, std::optional<std::string>());
}
bool FakeUi::confirmChecksum(const std::string& path) {
    checksumAsked.push_back(path);
    return Pop(checksumAnswers, true);
}

SaveChoice FakeUi::askSaveChanges(const std::string& question) {
    saveChangesAsked.push_back(question);
    return Pop(saveChangesAnswers, SaveChoice::Cancel);
}

std::vector<std::string> FakeUi::Messages() const {
    std::vector<std::string> m;
    for (const auto& t : told) m.push_back(t.first);
    return m;
}

TempDir::TempDir() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() /
           ("brivant-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
}
TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}
std::string TempDir::Path(const std::string& name) const {
    return (dir_ / name).string();
}

int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Bytes ReadFile(const std::string& path) {
    return ReadWholeFile(path, "Cannot open %s");
}
Bytes NoiseBytes(std::size_t n, std::uint32_t seed) {
    Bytes b(n);
    for (auto& x : b) {
        seed = seed * 1103515245u + 12345u;
        x = static_cast<std::uint8_t>(seed >> 16);
    }
    return b;
}
void WriteFile(const std::string& path, const Bytes& data) {
    WriteFileRaw(path, data);
}

std::string OtherCli() {
    const char* cli = std::getenv("BRIVANT_CLI");
    return cli ? cli : "";
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

namespace {
std::filesystem::path TestProgramFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : self.parent_path();
}
}  // namespace

std::string NativeCliPath() {
    return (TestProgramFolder().parent_path() / "brivant-cli").string();
}

std::string SourceDir() {
    if (const char* dir = std::getenv("BRIVANT_SOURCE_DIR"); dir && *dir) return dir;
    for (std::filesystem::path dir = TestProgramFolder(); !dir.empty(); dir = dir.parent_path()) {
        if (std::filesystem::exists(dir / "README.md") && std::filesystem::exists(dir / "src/cli"))
            return dir.string();
        if (dir == dir.parent_path()) break;
    }
    return {};
}

std::string CliCommand() {
    const std::string other = OtherCli();
    return other.empty() ? ShellQuoted(NativeCliPath()) : other;
}

namespace {
std::string TextOf(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// The words of a BRIVANT_CLI that holds nothing a shell would expand or quote; empty when
// it does, and a shell must run it.
std::vector<std::string> PlainWords(const std::string& command) {
    if (command.find_first_of("'\"\\$`;&|<>()*?[]~{}#=\n\t") != std::string::npos) return {};
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// Started without a shell where it needs none: the tests against another build run some
// thousands of commands, and a shell between each of them and the program was a good part
// of their processor time.
int Spawned(const std::vector<std::string>& words, const std::vector<std::string>& args,
            const std::string& in, const std::string& out, const std::string& err) {
    std::vector<std::string> all = words;
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int started = posix_spawnp(&pid, argv[0], &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (started != 0) return -1;
    int raw = 0;
    while (waitpid(pid, &raw, 0) == -1)
        if (errno != EINTR) return -1;
    return raw;
}

// A run of the program BRIVANT_CLI names, its streams through files.
CliRun RunOtherCli(const std::vector<std::string>& args, const std::string& input) {
    const TempDir dir;
    const std::string in = dir.Path("in"), out = dir.Path("out"), err = dir.Path("err");
    std::ofstream(in, std::ios::binary) << input;
    const std::string other = OtherCli();
    int raw = -1;
    if (const std::vector<std::string> words = PlainWords(other); !words.empty()) {
        raw = Spawned(words, args, in, out, err);
    } else {
        std::string command = other;
        for (const std::string& a : args) command += " " + ShellQuoted(a);
        command += " <" + ShellQuoted(in) + " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err);
        raw = std::system(command.c_str());
    }
    const int status = raw != -1 && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return {status, TextOf(out), TextOf(err)};
}
}  // namespace

CliRun CliIn(std::vector<std::string> args, const std::string& input) {
    if (!OtherCli().empty()) return RunOtherCli(args, input);
    args.insert(args.begin(), "brivant-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::istringstream in(input);
    std::ostringstream out, err;
#ifdef BRIVANT_PLATFORM
    // The program loads its picture module; the tests link the same adapter.
    SetPictureLoader([] { return LinkedPictures(); });
#endif
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err);
    return {status, out.str(), err.str()};
}

CliRun Cli(std::vector<std::string> args) {
    if (!OtherCli().empty()) return RunOtherCli(args, "");
    args.insert(args.begin(), "brivant-cli");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::ostringstream out, err;
#ifdef BRIVANT_PLATFORM
    // The program loads its picture module; the tests link the same adapter.
    SetPictureLoader([] { return LinkedPictures(); });
#endif
    const int status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
    return {status, out.str(), err.str()};
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool ChecksumsVerify(const Bytes& b) {
    const auto mcu = McuChecksum(b);
    const auto fls = FlsCheckValue(b);
    return mcu && fls && *mcu == GetBE16(&b[34]) && *mcu == GetBE16(&b[b.size() - 6]) &&
           *fls == GetBE32(&b[b.size() - 4]);
}

SampleImage OpenSample(Editor& ed, FakeUi& ui, const std::string& path, SampleOptions o) {
    SampleImage s = BuildSample(o);
    WriteFile(path, s.bytes);
    OpenPath(ed, ui, path);
    return s;
}

SampleFixture::SampleFixture(int family, SampleOptions o) {
    o.family = family;
    sample = OpenSample(ed, ui, dir.Path("image.fls"), o);
}

SampleFixture::SampleFixture(int family, Tab tab) : SampleFixture(family) {
    TabChanged(ed, ui, tab);
}

std::string SampleFixture::File(const std::string& name, const Bytes& bytes) const {
    const std::string path = dir.Path(name);
    WriteFile(path, bytes);
    return path;
}

Bytes SampleFixture::Chunk(Piece p) const {
    return HexToBytes(ed.ppm[p]);
}

bool SampleFixture::ChecksumOk(Piece p) const {
    const Bytes b = Chunk(p);
    return b.size() >= 8 && GetBE32(b.data()) == *ChunkChecksum(b);
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const UserError& e) {
        return e.what();
    }
    return "";
}

}  // namespace brivant::test
