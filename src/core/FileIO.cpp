#include "core/FileIO.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "core/UserError.h"

namespace brivant {

std::string SystemErrorText(int err) {
    return std::strerror(err);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

namespace {
constexpr std::size_t kReadChunk = std::size_t{1} << 17;
constexpr std::uintmax_t kMaxImage = 0x7FFFFFFFu;

// Storage of an image is touched page by page as it is filled; with 2 MiB pages a 4 MiB image
// costs a handful of page faults instead of a thousand, and freeing it is as cheap. Only the
// part that the storage covers whole is marked, so no page reaches past it.
void PreferLargePages(const Bytes& b) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kLarge = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(b.data());
    const std::uintptr_t from = (begin + kLarge - 1) & ~(kLarge - 1);
    const std::uintptr_t to = (begin + b.capacity()) & ~(kLarge - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    (void)b;
#endif
}

// Room for n bytes of an image, on large pages where the system has them.
void ReserveForImage(Bytes& b, std::size_t n) {
    b.reserve(n);
    PreferLargePages(b);
}
}  // namespace

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
    if (!sizeError && expected <= kMaxImage) ReserveForImage(data, expected);
    // Read chunk by chunk into the reserved storage: storage sized up front would be
    // zero-filled first, only to be overwritten. A file that grew since its size was taken is
    // read to its end all the same.
    const std::unique_ptr<std::uint8_t[]> chunk(new std::uint8_t[kReadChunk]);
    std::size_t got;
    while (data.size() <= kMaxImage && (got = std::fread(chunk.get(), 1, kReadChunk, f)) > 0)
        data.insert(data.end(), chunk.get(), chunk.get() + got);
    const bool failed = std::ferror(f) != 0;
    const int err = errno;
    std::fclose(f);
    if (failed) throw UserError(Format(failText, {path, SystemErrorText(err ? err : EIO)}));
    if (data.size() > kMaxImage) throw UserError(Format(failText, {path, "File too large"}));
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
