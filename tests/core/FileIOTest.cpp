#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "compare/Recipe.h"
#include "core/FileIO.h"
#include "core/HexBuffer.h"
#include "core/UserError.h"
#include "support/CliProgram.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;
namespace fs = std::filesystem;

namespace {
// Entries of the folder whose name shows a temporary file of a save.
std::vector<std::string> Leftovers(const TempDir& dir) {
    std::vector<std::string> found;
    for (const auto& e : fs::directory_iterator(dir.Path("")))
        if (e.path().string().find("tmp~") != std::string::npos) found.push_back(e.path());
    return found;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

// A file of `size` bytes that takes no room on the disk.
void Sparse(const std::string& path, std::uintmax_t size) {
    WriteFile(path, {});
    fs::resize_file(path, size);
}
}  // namespace

TEST(FileInputs, AnythingButARegularFileIsRefusedBeforeItIsOpened) {
    TempDir dir;
    const std::string fifo = dir.Path("pipe.fls"), folder = dir.Path("folder.fls");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(folder);
    // Opening a FIFO without a writer would wait for ever, reading a device would never end.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {fifo, "It is a named pipe, not a file"},
        {"/dev/zero", "It is a device, not a file"},
        {"/dev/null", "It is a device, not a file"},
        {folder, "It is a folder"},
        {dir.Path("gone.fls"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        // Named copies: a lambda cannot capture a structured binding before C++20's last
        // compilers, and the sanitizer build uses clang 14.
        const std::string& path = c.first;
        const std::string& reason = c.second;
        EXPECT_EQ(InputProblem(path), reason) << path;
        EXPECT_EQ(ErrorOf([&] { ReadWholeFile(path, "Cannot open %s.\r\n(%s.)"); }),
                  "Cannot open " + path + ".\r\n(" + reason + ".)");
        // A text with one place gets the reason appended.
        EXPECT_EQ(ErrorOf([&] { ReadWholeFile(path, "Cannot open file %s"); }),
                  "Cannot open file " + path + " (" + reason + ")");
    }
    // A link is followed to what it names.
    const std::string link = dir.Path("link.fls"), file = dir.Path("a.fls");
    fs::create_symlink("/dev/zero", link);
    EXPECT_EQ(InputProblem(link), "It is a device, not a file");
    WriteFile(file, Bytes{1, 2, 3});
    fs::remove(link);
    fs::create_symlink(file, link);
    const FileContent c = ReadFileContent(link, "%s %s");
    EXPECT_EQ(c.bytes, (Bytes{1, 2, 3}));
    EXPECT_EQ(c.id, *IdOf(file));
}

TEST(FileInputs, NothingLargerThanTheLargestFlash) {
    TempDir dir;
    const std::string limit = dir.Path("limit.fls"), over = dir.Path("over.fls");
    Sparse(limit, kMaxInputSize);
    Sparse(over, kMaxInputSize + 1);
    EXPECT_EQ(InputProblem(limit), "");
    EXPECT_EQ(InputProblem(over), "It is larger than 64 MiB (67108865 bytes), more than any flash");
    EXPECT_EQ(ErrorOf([&] { ReadWholeFile(over, "Cannot open file %s"); }),
              "Cannot open file " + over +
                  " (It is larger than 64 MiB (67108865 bytes), more than any flash)");
}

TEST(FileOutputs, OnlyARegularFileIsReplaced) {
    TempDir dir;
    const std::string fifo = dir.Path("pipe.fls"), folder = dir.Path("folder.fls");
    const std::string dangling = dir.Path("dangling.fls");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_directory(folder);
    fs::create_symlink(dir.Path("nowhere.fls"), dangling);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {fifo, "It is a named pipe, not a file"},
        {"/dev/null", "It is a device, not a file"},
        {folder, "It is a folder"},
        {dangling, "It is a link to a file that does not exist"},
        {dir.Path("no/such/folder.fls"), "No such file or directory"},
    };
    for (const auto& c : cases) {
        const std::string& path = c.first;
        EXPECT_EQ(ErrorOf([&] { WriteFileAtomic(path, Bytes{1}); }),
                  "Cannot create file " + path + " (" + c.second + ")");
    }
    EXPECT_EQ(fs::status("/dev/null").type(), fs::file_type::character);
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dir.Path("nowhere.fls")));
    EXPECT_TRUE(Leftovers(dir).empty());
}

TEST(FileOutputs, ALinkIsFollowedAndTheModeKept) {
    TempDir dir;
    const std::string file = dir.Path("a.fls"), link = dir.Path("link.fls");
    WriteFile(file, Bytes{1, 2});
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(file, link);
    WriteFileAtomic(link, Bytes{7, 8, 9});
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(file), (Bytes{7, 8, 9}));
    EXPECT_EQ(ModeOf(file), 0600u);

    // A new file gets the mode new files get.
    const std::string fresh = dir.Path("new.fls");
    WriteFileAtomic(fresh, Bytes{1});
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(ModeOf(fresh), 0666u & ~mask);
    EXPECT_TRUE(Leftovers(dir).empty());
}

TEST(FileOutputs, TheTemporaryFileIsNeverOneThatWasThere) {
    TempDir dir;
    const std::string file = dir.Path("a.fls"), victim = dir.Path("victim.txt");
    WriteFile(file, Bytes{1});
    WriteFile(victim, Bytes{'k', 'e', 'e', 'p'});
    // Links planted where a predictable temporary name would be.
    fs::create_symlink(victim, file + ".tmp~");
    fs::create_symlink(victim, file + ".tmp");
    PendingFile out(file);
    EXPECT_EQ(out.Target(), file);
    EXPECT_EQ(out.TargetId(), IdOf(file));
    out.Write(Bytes{5, 6});
    out.Commit();
    EXPECT_EQ(ReadFile(file), (Bytes{5, 6}));
    EXPECT_EQ(ReadFile(victim), (Bytes{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(IdOf(file), out.NewId());
    fs::remove(file + ".tmp~");

    // A save that is given up leaves no temporary file behind.
    {
        PendingFile dropped(file);
        dropped.Write(Bytes{9});
        // Unnamed where the file system has such files, named beside the target elsewhere.
        EXPECT_LE(Leftovers(dir).size(), 1u);
    }
    EXPECT_TRUE(Leftovers(dir).empty());
    EXPECT_EQ(ReadFile(file), (Bytes{5, 6}));
}

// Temporary files a killed save of the same file left (its own or its backup's) go at the
// next save there; those of other files, and names that only look alike, stay.
TEST(PendingFiles, TheNextSaveRemovesStaleTemporaryFilesOfTheSameFile) {
    TempDir dir;
    const std::string x = dir.Path("x.fls");
    const std::vector<std::string> stale = {x + ".tmp~AbCd1234", x + ".bak.tmp~ZZZZ9999"};
    const std::vector<std::string> kept = {dir.Path("y.fls.tmp~AbCd1234"), x + ".tmp~short",
                                           x + ".old.tmp~AbCd1234", x + ".tmp~AbCd-234"};
    for (const auto& f : stale) WriteFile(f, Bytes{1});
    for (const auto& f : kept) WriteFile(f, Bytes{2});
    WriteFileAtomic(x, Bytes{3});
    for (const auto& f : stale) EXPECT_FALSE(fs::exists(f)) << f;
    for (const auto& f : kept) EXPECT_TRUE(fs::exists(f)) << f;
    EXPECT_EQ(ReadFile(x), Bytes{3});
}

TEST(BufferSave, TheBackupFollowsTheFileNotItsSpelling) {
    TempDir dir;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls");
    const std::string otherSpelling = dir.Path(".") + "/./a.fls";
    WriteFile(a, Bytes{1, 2, 3, 4});
    HexBuffer buf(true);
    buf.LoadFile(a);
    buf.WriteAt(0, Bytes{9});
    buf.SaveFile(b, true);  // elsewhere: no backup, the buffer now belongs to b
    EXPECT_FALSE(fs::exists(a + ".bak"));
    EXPECT_FALSE(fs::exists(b + ".bak"));
    buf.WriteAt(1, Bytes{8});
    buf.SaveFile(otherSpelling, true);  // over the file it was loaded from, spelled otherwise
    EXPECT_EQ(ReadFile(a + ".bak"), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(ReadFile(a), (Bytes{9, 8, 3, 4}));
    // Saving there again after an edit backs up the first save, not the original twice.
    buf.WriteAt(2, Bytes{7});
    buf.SaveFile(a, true);
    EXPECT_EQ(ReadFile(a + ".bak"), (Bytes{9, 8, 3, 4}));
    EXPECT_FALSE(fs::exists(a + ".bak.bak"));
}

TEST(BufferSave, ALinkedImageIsReplacedThroughTheLinkWithItsBackupBesideIt) {
    TempDir dir;
    fs::create_directory(dir.Path("real"));
    const std::string real = dir.Path("real/a.fls"), link = dir.Path("a.fls");
    WriteFile(real, Bytes{1, 2});
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(real, link);
    HexBuffer buf(true);
    buf.LoadFile(link);
    buf.WriteAt(0, Bytes{5});
    buf.SaveFile(link, true);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(real), (Bytes{5, 2}));
    EXPECT_EQ(ModeOf(real), 0600u);
    EXPECT_EQ(ReadFile(real + ".bak"), (Bytes{1, 2}));
    EXPECT_FALSE(fs::exists(link + ".bak"));
}

TEST(BufferSave, ABackupNameTakenByAFolderStopsTheSaveWithItsReason) {
    TempDir dir;
    const std::string a = dir.Path("a.fls");
    WriteFile(a, Bytes{1, 2});
    fs::create_directory(a + ".bak");
    HexBuffer buf(true);
    buf.LoadFile(a);
    buf.WriteAt(0, Bytes{5});
    EXPECT_EQ(ErrorOf([&] { buf.SaveFile(a, true); }),
              "Cannot delete previous backup " + a + ".bak. (It is a folder)");
    EXPECT_EQ(ReadFile(a), (Bytes{1, 2}));
    EXPECT_TRUE(buf.Modified());
    EXPECT_TRUE(Leftovers(dir).empty());
}

namespace {
// The system calls of one run of the command line as strace saw them, in order.
std::vector<std::string> SyscallsOf(const std::string& log) {
    std::vector<std::string> calls;
    std::istringstream in(log);
    const std::regex call(R"(^\d+\s+([a-z0-9_]+)\()");
    std::smatch m;
    for (std::string line; std::getline(in, line);)
        if (std::regex_search(line, m, call)) calls.push_back(m[1]);
    return calls;
}

std::string ReadText(const std::string& path) {
    const Bytes b = ReadFile(path);
    return std::string(b.begin(), b.end());
}

bool IsBackupTemp(const std::string& path) {
    return path.find(".bak.tmp~") != std::string::npos;
}

// The calls that touch files: the ones a failing disk or file system makes fail.
bool IsFileCall(const std::string& name) {
    static const std::set<std::string> calls = {
        "openat", "open",       "read",       "pread64", "write",     "pwrite64",   "close",
        "fstat",  "newfstatat", "statx",      "stat",    "lstat",     "fsync",      "fdatasync",
        "rename", "renameat",   "renameat2",  "link",    "linkat",    "unlink",     "unlinkat",
        "fchmod", "fchown",     "access",     "faccess", "faccessat", "faccessat2", "getdents64",
        "getcwd", "readlink",   "readlinkat", "lseek"};
    return calls.count(name) > 0;
}
}  // namespace

// A save killed at any of its system calls leaves the old or the new image under the name,
// never none; once the new one is there, the old one has the backup's name or a temporary
// one beside it; a temporary file holds the new image or (for the backup) the old one, and
// the next save in the folder removes it.
TEST(CrashSafeSave, AKillAtEverySystemCallLeavesAWholeImage) {
#if defined(BRIVANT_SANITIZED)
    GTEST_SKIP() << "a sanitizer build makes thousands of system calls of its own; the release "
                    "build kills the save at each of its calls";
#endif
    if (Shell("strace -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is not installed: the save cannot be killed at each system call";
    TempDir dir;
    const std::string x = dir.Path("x.fls"), bak = x + ".bak", log = dir.Path("calls.log");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const Bytes old = ReadFile(x);
    const std::string cli =
        NativeCliPath() + " tones delete '" + x + "' 0 --in-place >/dev/null 2>&1";
    // The leak checker of a sanitizer build refuses to run under a tracer.
    const std::string strace = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq ";
    ASSERT_EQ(Shell(strace + "-o '" + log + "' " + cli), 0);
    const Bytes edited = ReadFile(x);
    ASSERT_NE(edited, old);
    ASSERT_EQ(ReadFile(bak), old);
    const std::vector<std::string> calls = SyscallsOf(ReadText(log));
    ASSERT_GT(calls.size(), 10u);

    std::map<std::string, int> seen;
    int killed = 0;
    for (const std::string& name : calls) {
        const int when = ++seen[name];
        WriteFile(x, old);
        fs::remove(bak);
        for (const std::string& t : Leftovers(dir)) fs::remove(t);
        const std::string at = name + ":" + std::to_string(when);
        const int status = Shell(strace + "-o /dev/null -e trace=" + name + " -e inject=" + name +
                                 ":signal=KILL:when=" + std::to_string(when) + " " + cli);
        if (status != 0) ++killed;

        ASSERT_TRUE(fs::exists(x)) << "no image after a kill at " << at;
        const Bytes now = ReadFile(x);
        EXPECT_TRUE(now == old || now == edited) << "a torn image after a kill at " << at;
        const auto left = Leftovers(dir);
        bool oldKept = fs::exists(bak);
        for (const std::string& t : left) {
            EXPECT_EQ(ReadFile(t), IsBackupTemp(t) ? old : edited) << t << " after " << at;
            oldKept = oldKept || IsBackupTemp(t);
        }
        if (now == edited) {
            EXPECT_TRUE(oldKept) << at;
        }
        if (fs::exists(bak)) {
            EXPECT_EQ(ReadFile(bak), old) << at;
        }
        if (!left.empty()) {
            // The next save of the image clears them away.
            Shell(cli);
            EXPECT_TRUE(Leftovers(dir).empty())
                << "temporary files outlive the next save after " << at;
        }
    }
    // The kills really happened: most calls of the run were hit.
    EXPECT_GT(killed, static_cast<int>(calls.size()) / 2);
}

// A save whose file calls fail one at a time (EIO): it succeeds with the new image and the
// old one as its backup, or it fails with status 1 and the image and the previous backup as
// they were; never a crash, never a success without the backup, never a temporary file
// left. Only a failure to rename the backup at the very end leaves the new image saved; the
// old one is then kept beside it, as told.
TEST(CrashSafeSave, AnErrorAtEveryFileCallFailsCleanly) {
#if defined(BRIVANT_SANITIZED)
    GTEST_SKIP() << "a sanitizer build makes thousands of system calls of its own; the release "
                    "build fails the save at each of its calls";
#endif
    if (Shell("strace -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is not installed: the save cannot fail at each system call";
    TempDir dir;
    const std::string x = dir.Path("x.fls"), bak = x + ".bak", log = dir.Path("calls.log");
    ASSERT_EQ(Cli({"demo", x}).status, 0);
    const Bytes old = ReadFile(x), older = {1, 2, 3, 4};
    WriteFile(bak, older);
    const std::string cli =
        NativeCliPath() + " tones delete '" + x + "' 0 --in-place >/dev/null 2>&1";
    const std::string strace = "ASAN_OPTIONS=detect_leaks=0 strace -f -qq ";
    ASSERT_EQ(Shell(strace + "-o '" + log + "' " + cli), 0);
    const Bytes edited = ReadFile(x);
    ASSERT_EQ(ReadFile(bak), old);

    // Each call with whether it works on the standard streams (its first argument 0, 1 or
    // 2): a message that cannot be shown is no file that cannot be written.
    std::vector<std::pair<std::string, bool>> traced;
    {
        std::istringstream in(ReadText(log));
        const std::regex call(R"(^\d+\s+([a-z0-9_]+)\(([0-9]*))");
        std::smatch m;
        for (std::string line; std::getline(in, line);)
            if (std::regex_search(line, m, call))
                traced.emplace_back(m[1], m[2] == "0" || m[2] == "1" || m[2] == "2");
    }
    std::map<std::string, int> seen;
    int failed = 0, calls = 0;
    for (const auto& [name, stdio] : traced) {
        const int when = ++seen[name];
        if (!IsFileCall(name) || stdio) continue;
        ++calls;
        WriteFile(x, old);
        WriteFile(bak, older);
        for (const std::string& t : Leftovers(dir)) fs::remove(t);
        const std::string at = name + ":" + std::to_string(when);
        const int status = Shell(strace + "-o /dev/null -e trace=" + name + " -e inject=" + name +
                                 ":error=EIO:when=" + std::to_string(when) + " " + cli);
        // 127: the loader could not read a library, before the program ran at all.
        EXPECT_TRUE(status == 0 || status == 1 || status == 127) << status << " at " << at;
        const Bytes now = ReadFile(x);
        const auto left = Leftovers(dir);
        if (status == 0) {
            EXPECT_TRUE(now == edited) << at;
            EXPECT_TRUE(ReadFile(bak) == old) << "saved without its backup at " << at;
            EXPECT_TRUE(left.empty()) << at;
            continue;
        }
        ++failed;
        EXPECT_TRUE(ReadFile(bak) == older) << "the previous backup is lost at " << at;
        if (now == edited) {
            // Only the backup's own rename failed: the old image waits beside it.
            ASSERT_EQ(left.size(), 1u) << at;
            EXPECT_TRUE(IsBackupTemp(left[0]) && ReadFile(left[0]) == old) << at;
        } else {
            EXPECT_TRUE(now == old) << "a changed image after a failure at " << at;
            EXPECT_TRUE(left.empty()) << at;
        }
    }
    ASSERT_GT(calls, 10);
    EXPECT_GT(failed, 0);
}

// apply keeps the files of its recipe in a scratch folder. When a call that removes it
// fails, the run fails with nothing written and says so; it never succeeds with the folder
// left behind.
TEST(CrashSafeSave, AnApplyThatCannotRemoveItsScratchFolderWritesNothing) {
#if defined(BRIVANT_SANITIZED)
    GTEST_SKIP() << "a sanitizer build makes thousands of system calls of its own; the release "
                    "build fails each removal";
#endif
    if (Shell("strace -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is not installed: the removal cannot be made to fail";
    TempDir dir;
    fs::create_directories(dir.Path("tmp"));
    const std::string a = dir.Path("a.fls"), c = dir.Path("c.fls"), t = dir.Path("t.re"),
                      r = dir.Path("r.json"), log = dir.Path("calls.log");
    ASSERT_EQ(Cli({"demo", a, "--type", "3310"}).status, 0);
    ASSERT_EQ(Cli({"tones", "export", a, "3", t}).status, 0);
    const std::string recipe = R"({"brivant-recipe": 1, "steps": [{"command": "tones add",
        "args": {"in": {"base64": ")" +
                               Base64Encode(ReadFile(t)) + R"(", "name": "t.re"}}}]})";
    WriteFile(r, Bytes(recipe.begin(), recipe.end()));
    const std::string cli = NativeCliPath() + " apply '" + a + "' '" + r + "' -o '" + c +
                            "' >/dev/null 2>'" + dir.Path("err") + "'";
    const std::string strace =
        "TMPDIR='" + dir.Path("tmp") + "' ASAN_OPTIONS=detect_leaks=0 strace -f -qq ";
    ASSERT_EQ(Shell(strace + "-o '" + log + "' " + cli), 0) << ReadText(dir.Path("err"));
    const Bytes expected = ReadFile(c);
    const auto scratchLeft = [&] { return !fs::is_empty(dir.Path("tmp")); };
    ASSERT_FALSE(scratchLeft());

    std::map<std::string, int> seen;
    int failed = 0;
    for (const std::string& name : SyscallsOf(ReadText(log))) {
        const int when = ++seen[name];
        if (name != "unlink" && name != "unlinkat" && name != "rmdir") continue;
        const std::string at = name + ":" + std::to_string(when);
        fs::remove(c);
        fs::remove_all(dir.Path("tmp"));
        fs::create_directories(dir.Path("tmp"));
        const int status = Shell(strace + "-o /dev/null -e trace=" + name + " -e inject=" + name +
                                 ":error=EIO:when=" + std::to_string(when) + " " + cli);
        if (status == 0) {
            EXPECT_TRUE(fs::exists(c) && ReadFile(c) == expected) << at;
            EXPECT_FALSE(scratchLeft()) << "a success that left its scratch folder at " << at;
            continue;
        }
        ++failed;
        EXPECT_EQ(status, 1) << at;
        EXPECT_FALSE(fs::exists(c)) << "written although the run failed at " << at;
        const std::string err = ReadText(dir.Path("err"));
        if (scratchLeft()) {
            EXPECT_NE(err.find("Remove it by hand"), std::string::npos) << err;
        }
    }
    EXPECT_GT(failed, 0);
}

TEST(FileNames, OfferedNamesAreNamesAFileCanHave) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Ringing", "Ringing"},
        {"a/b\\c", "a_b_c"},
        {std::string("x\0y\x1F\x7F", 5), "x_y__"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},  // a letter beyond ASCII stays
        {"\xC2\x85tab", "_tab"},         // a C1 control as UTF-8
        {"..", "__"},
        {".hidden", ".hidden"},
        {"", ""},
    };
    for (const auto& [name, safe] : cases) EXPECT_EQ(SafeFileName(name), safe) << name;
}
