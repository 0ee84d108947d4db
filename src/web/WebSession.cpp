#include "web/WebSession.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

#include "cli/RunCli.h"
#include "core/FileIO.h"
#include "core/UserError.h"

namespace brivant::web {

namespace fs = std::filesystem;

namespace {
constexpr const char* kNoImage = "brivant-cli: open an image first\n";
constexpr const char* kNotWritten = "brivant-cli: the edit wrote no image\n";
constexpr const char* kScratchPrefix = ".step-";
constexpr const char* kNotRead = "brivant-cli: the open image cannot be read\n";

// The whole file, or nothing when it cannot be read.
std::optional<Bytes> ReadAll(const std::string& path) {
    try {
        return ReadWholeFile(path, "%s");
    } catch (const UserError&) {
        return std::nullopt;
    }
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

std::string WebSession::ScratchPath() const {
    // Beside the image, so that the rename that keeps it stays in one folder.
    const fs::path at(image_);
    return (at.parent_path() / (kScratchPrefix + at.filename().string())).string();
}

RunResult WebSession::Step(const std::vector<std::string>& args, const std::string& label) {
    if (image_.empty()) return {1, {}, kNoImage};
    const std::string next = ScratchPath();
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
    std::optional<Bytes> before = ReadAll(image_);
    if (before) fs::rename(next, image_, ec);
    if (!before || ec) {
        // The image stays as it was, and so do both step lists.
        const std::string why = before ? "brivant-cli: " + ec.message() + "\n" : kNotRead;
        fs::remove(next, ec);
        return {1, r.out, r.err + why};
    }
    undo_.push_back({label, std::move(*before)});
    redo_.clear();
    return r;
}

bool WebSession::Move(std::vector<Saved>& from, std::vector<Saved>& to) {
    if (from.empty()) return false;
    std::optional<Bytes> now = ReadAll(image_);
    if (!now) return false;
    // Written whole beside the image and renamed over it, so a failed write leaves the image
    // and both lists as they were.
    try {
        WriteFileAtomic(image_, from.back().bytes);
    } catch (const UserError&) {
        return false;
    }
    to.push_back({std::move(from.back().label), std::move(*now)});
    from.pop_back();
    return true;
}

bool WebSession::Undo() {
    return Move(undo_, redo_);
}

bool WebSession::Redo() {
    return Move(redo_, undo_);
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
