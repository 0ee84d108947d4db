#pragma once

#include <filesystem>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string>

namespace brivant {

// Files that stand for standard input and output where an argument is "-". The commands
// read and write files by name (the open and save flows, the export questions, the picture
// module), so standard input is copied whole into a private file first, and what a command
// writes to its output stand-in is copied to standard output once the command succeeded.
// A real file named "-" is still reachable as "./-".
class StandIns {
  public:
    explicit StandIns(std::istream& in) : in_(in) {}
    ~StandIns();
    StandIns(const StandIns&) = delete;
    StandIns& operator=(const StandIns&) = delete;

    static bool IsStdio(const std::string& arg) { return arg == "-"; }

    // The file holding all of standard input. Standard input can be read only once: a second
    // "-" input is refused (UserError). Reading stops one byte past the largest input any
    // reader takes, so that the reader refuses it with its own message.
    // `ext` (without the dot) ends the stand-in's name, for readers that go by it.
    std::string Input(const std::string& ext = {});
    // A new file whose content goes to standard output; only one output can go there.
    // `ext` ends its name, for writers that go by it.
    std::string Output(const std::string& ext = {});
    // `arg`, or its stand-in when it is "-".
    std::string InputPath(const std::string& arg, const std::string& ext = {}) {
        return IsStdio(arg) ? Input(ext) : arg;
    }
    std::string OutputPath(const std::string& arg, const std::string& ext = {}) {
        return IsStdio(arg) ? Output(ext) : arg;
    }
    bool HasOutput() const { return !output_.empty(); }
    // Copies the output stand-in, if a command wrote one, to `out`.
    void Deliver(std::ostream& out) const;
    // A message line with the stand-ins' paths shown as the user named them: "-".
    std::string Shown(std::string line) const;

  private:
    std::string Dir();

    std::istream& in_;
    std::filesystem::path dir_;
    std::string input_, output_;
};

// Passes every line written to it on to `target` with the stand-ins' paths shown as "-".
class ShownPathsBuf : public std::streambuf {
  public:
    ShownPathsBuf(std::ostream& target, const StandIns& standIns)
        : target_(target), standIns_(standIns) {}
    ~ShownPathsBuf() override { sync(); }

  protected:
    int_type overflow(int_type c) override;
    int sync() override;

  private:
    std::ostream& target_;
    const StandIns& standIns_;
    std::string line_;
};

}  // namespace brivant
