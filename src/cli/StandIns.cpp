#include "cli/StandIns.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "core/FileIO.h"
#include "core/System.h"
#include "core/UserError.h"

namespace brivant {

namespace {
constexpr const char* kStdinTwice = "standard input can be read only once: give at most one \"-\"";
constexpr const char* kStdoutTwice =
    "only one output can go to standard output: give at most one \"-\"";
constexpr const char* kCannotReadStdin = "Cannot read standard input";
constexpr const char* kCannotKeepStdin = "Cannot read standard input into a temporary file";
constexpr const char* kNoTempFolder = "Cannot create a temporary folder in %s (%s)";
constexpr const char* kStdinName = "-";

void Replace(std::string& text, const std::string& what, const std::string& with) {
    if (what.empty()) return;
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
}
}  // namespace

StandIns::~StandIns() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
}

std::string StandIns::Dir() {
    if (!dir_.empty()) return dir_.string();
    const std::string base = sys::TempFolder();
    std::string pattern = base + "/brivant-cli-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    errno = 0;
    if (!::mkdtemp(name.data()))
        throw UserError(Format(kNoTempFolder, {base, SystemErrorText(errno)}));
    dir_ = name.data();
    return dir_.string();
}

std::string StandIns::Input(const std::string& ext) {
    if (!input_.empty()) throw UserError(kStdinTwice);
    const std::string path = Dir() + "/stdin" + (ext.empty() ? "" : "." + ext);
    std::ofstream file(path, std::ios::binary);
    std::vector<char> chunk(1 << 16);
    std::uint64_t total = 0;
    while (in_ && total <= kMaxInputSize) {
        in_.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const auto got = static_cast<std::size_t>(in_.gcount());
        // A read that failed before the end (standard input a folder, say) is no empty file;
        // the process's own stream tells that only through its C stream.
        if (in_.bad() || (&in_ == &std::cin && std::ferror(stdin)))
            throw UserError(kCannotReadStdin);
        if (got == 0) break;
        file.write(chunk.data(), static_cast<std::streamsize>(got));
        total += got;
    }
    input_ = path;
    file.close();
    if (!file) throw UserError(kCannotKeepStdin);
    return input_;
}

std::string StandIns::Output(const std::string& ext) {
    if (!output_.empty()) throw UserError(kStdoutTwice);
    output_ = Dir() + "/stdout" + (ext.empty() ? "" : "." + ext);
    return output_;
}

void StandIns::Deliver(std::ostream& out) const {
    if (output_.empty()) return;
    std::ifstream file(output_, std::ios::binary);
    // Nothing written, or an empty file: inserting an empty buffer would mark `out` failed.
    if (!file || file.peek() == std::ifstream::traits_type::eof()) return;
    out << file.rdbuf();
}

std::string StandIns::Shown(std::string line) const {
    Replace(line, input_, kStdinName);
    Replace(line, output_, kStdinName);
    return line;
}

ShownPathsBuf::int_type ShownPathsBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    line_.push_back(traits_type::to_char_type(c));
    if (c == '\n') sync();
    return c;
}

int ShownPathsBuf::sync() {
    if (!line_.empty()) target_ << standIns_.Shown(line_);
    line_.clear();
    target_.flush();
    return target_ ? 0 : -1;
}

}  // namespace brivant
