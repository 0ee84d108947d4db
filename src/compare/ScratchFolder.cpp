#include "compare/ScratchFolder.h"

#include <random>

#include "core/FileIO.h"
#include "core/UserError.h"

namespace brivant {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    std::random_device rd;
    for (int attempt = 0; attempt < 100 && !ec; ++attempt) {
        const fs::path p = base / ("brivant-" + std::to_string(rd()));
        if (fs::create_directory(p, ec)) {
            dir_ = p;
            return;
        }
    }
    throw UserError("Cannot create a temporary folder in " + base.string());
}

ScratchFolder::~ScratchFolder() {
    if (dir_.empty()) return;
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

void ScratchFolder::Remove() {
    if (dir_.empty()) return;
    std::error_code ec;
    fs::remove_all(dir_, ec);
    if (ec)
        throw UserError("Cannot remove the temporary folder " + dir_.string() + ": " +
                        SystemErrorText(ec.value()) + ". Remove it by hand.");
    dir_.clear();
}

std::string ScratchFolder::NewPath(const std::string& name) {
    const fs::path folder = dir_ / std::to_string(files_++);
    std::error_code ec;
    fs::create_directory(folder, ec);
    std::string base = fs::path(name).filename().string();
    if (base.empty() || base == "." || base == "..") base = "file";
    return (folder / base).string();
}

std::string ScratchFolder::Write(const std::string& name, const Bytes& bytes) {
    const std::string path = NewPath(name);
    WriteFileRaw(path, bytes);
    return path;
}

}  // namespace brivant
