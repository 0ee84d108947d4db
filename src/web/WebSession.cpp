#include "web/WebSession.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/RunCli.h"

namespace brivant::web {

namespace fs = std::filesystem;

namespace {
constexpr const char* kNoImage = "brivant-cli: open an image first\n";
constexpr const char* kNotWritten = "brivant-cli: the edit wrote no image\n";
constexpr const char* kScratchPrefix = ".step-";

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}
}  // namespace

RunResult RunWords(const std::vector<std::string>& args) {
    std::vector<const char*> argv;
    argv.push_back("brivant-cli");
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::istringstream in;
    std::ostringstream out, err;
    RunResult r;
    r.status = RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

WebSession::WebSession(std::string folder) : folder_(std::move(folder)) {
    std::error_code ec;
    fs::create_directories(folder_, ec);
}

RunResult WebSession::Open(const std::string& name) {
    RunResult r = RunWords({"info", "--json", name});
    if (r.status != 0) {
        // The page wrote the refused file over the open image of the same name: that one is
        // gone, and so are its steps.
        if (name == image_) {
            image_.clear();
            undo_.clear();
            redo_.clear();
        }
        return r;
    }
    image_ = name;
    undo_.clear();
    redo_.clear();
    return r;
}

RunResult WebSession::Look(const std::vector<std::string>& args) {
    if (image_.empty()) return {1, {}, kNoImage};
    return RunWords(args);
}

RunResult WebSession::Step(const std::vector<std::string>& args, const std::string& label) {
    if (image_.empty()) return {1, {}, kNoImage};
    // Beside the image, so that the rename that keeps it stays in one folder.
    const fs::path at(image_);
    const std::string next =
        (at.parent_path() / (kScratchPrefix + at.filename().string())).string();
    std::error_code ec;
    fs::remove(next, ec);
    // The output goes with the options, ahead of a "--" that ends them.
    std::vector<std::string> words = args;
    const auto end = std::find(words.begin(), words.end(), "--");
    words.insert(words.insert(end, next), "-o");
    RunResult r = RunWords(words);
    if (r.status != 0 || !fs::exists(next, ec)) {
        fs::remove(next, ec);
        if (r.status == 0) {
            r.status = 1;
            r.err += kNotWritten;
        }
        return r;
    }
    undo_.push_back({label, ReadAll(image_)});
    redo_.clear();
    fs::rename(next, image_, ec);
    if (ec) {
        // The image stays as it was: the step is not kept.
        undo_.pop_back();
        fs::remove(next, ec);
        return {1, r.out, r.err + "brivant-cli: " + ec.message() + "\n"};
    }
    return r;
}

bool WebSession::Undo() {
    if (undo_.empty()) return false;
    Saved s = std::move(undo_.back());
    undo_.pop_back();
    std::vector<std::uint8_t> now = ReadAll(image_);
    if (!WriteAll(image_, s.bytes)) {
        undo_.push_back(std::move(s));
        return false;
    }
    redo_.push_back({s.label, std::move(now)});
    return true;
}

bool WebSession::Redo() {
    if (redo_.empty()) return false;
    Saved s = std::move(redo_.back());
    redo_.pop_back();
    std::vector<std::uint8_t> now = ReadAll(image_);
    if (!WriteAll(image_, s.bytes)) {
        redo_.push_back(std::move(s));
        return false;
    }
    undo_.push_back({s.label, std::move(now)});
    return true;
}

std::vector<std::string> WebSession::UndoNames() const {
    std::vector<std::string> names;
    for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) names.push_back(it->label);
    return names;
}

std::vector<std::string> WebSession::RedoNames() const {
    std::vector<std::string> names;
    for (auto it = redo_.rbegin(); it != redo_.rend(); ++it) names.push_back(it->label);
    return names;
}

}  // namespace brivant::web
