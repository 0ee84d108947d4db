#include "core/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/UserError.h"

namespace brivant {

std::string SystemErrorText(int err) {
    return std::strerror(err);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

Bytes ReadWholeFile(const std::string& path, const std::string& failText) {
    errno = 0;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        throw UserError(Format(failText, {path, SystemErrorText(EISDIR)}));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw UserError(Format(failText, {path, SystemErrorText(errno ? errno : ENOENT)}));
    Bytes data;
    std::error_code sizeError;
    const auto expected = std::filesystem::file_size(path, sizeError);
    if (!sizeError && expected <= 0x7FFFFFFFu) data.resize(static_cast<std::size_t>(expected));
    std::size_t have = std::fread(data.data(), 1, data.size(), f);
    data.resize(have);
    // The file may have grown since its size was read: take whatever follows too.
    std::uint8_t chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        data.insert(data.end(), chunk, chunk + got);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) throw UserError(Format(failText, {path, SystemErrorText(err ? err : EIO)}));
    if (data.size() > 0x7FFFFFFFu) throw UserError(Format(failText, {path, "File too large"}));
    return data;
}

void WriteFileRaw(const std::string& path, const Bytes& data) {
    const std::string fail = Format("Cannot create file %s", {path});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw UserError(fail);
    const bool ok = (data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size()) &&
                    std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    if (!ok || !closed) throw UserError(fail);
}

std::string TempNameFor(const std::string& path) {
    return path + ".tmp~";
}

void WriteFileAtomic(const std::string& path, const Bytes& data) {
    const std::string temp = TempNameFor(path);
    std::error_code ec;
    try {
        WriteFileRaw(temp, data);
    } catch (const UserError&) {
        std::filesystem::remove(temp, ec);
        throw UserError(Format("Cannot create file %s", {path}));
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        throw UserError(Format("Cannot create file %s", {path}));
    }
}

}  // namespace brivant
