#include "core/HexBuffer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/FileIO.h"
#include "core/Search.h"
#include "core/Stream.h"
#include "core/UserError.h"

namespace brivant {

void HexBuffer::Reset(Bytes bytes) {
    bytes_ = std::move(bytes);
    cursor_ = 0;
    anchor_ = -1;
    modified_ = false;
}

void HexBuffer::SetSelectionStart(std::int32_t pos) {
    if (pos < 0 || pos >= Size()) throw UserError(kInvalidSelStart);
    ClearSelection();
    cursor_ = pos;
}

void HexBuffer::SetSelectionEnd(std::int32_t pos) {
    if (pos < -1 || pos >= Size()) throw UserError(kInvalidSelEnd);
    ClearSelection();
    if (pos < 0) return;
    anchor_ = cursor_;
    low_ = std::min(cursor_, pos);
    high_ = std::max(cursor_, pos);
}

std::int32_t HexBuffer::SelectionStart() const {
    return HasSelection() ? anchor_ : cursor_;
}

std::int32_t HexBuffer::SelectionEnd() const {
    if (!HasSelection()) return cursor_;
    return anchor_ == low_ ? high_ : low_;
}

std::int32_t HexBuffer::SelectionLength() const {
    return HasSelection() ? high_ - low_ + 1 : 0;
}

void HexBuffer::SelectAll() {
    if (bytes_.empty()) return;
    cursor_ = Size() - 1;
    anchor_ = low_ = 0;
    high_ = Size() - 1;
}

std::int32_t HexBuffer::CursorPosition() const {
    return std::clamp(cursor_, 0, std::max(0, Size() - 1));
}

void HexBuffer::ReplaceSelected(const std::uint8_t* data, std::int32_t n) {
    if (n < 0) n = 0;
    if (!HasSelection()) {
        if (noSizeChange_) return;
        const std::int32_t at = CursorPosition();
        bytes_.insert(bytes_.begin() + at, data, data + n);
        low_ = at;
    } else if (noSizeChange_) {
        if (n > SelectionLength()) n = SelectionLength();
        std::copy(data, data + n, bytes_.begin() + low_);
    } else {
        bytes_.erase(bytes_.begin() + low_, bytes_.begin() + high_ + 1);
        bytes_.insert(bytes_.begin() + low_, data, data + n);
    }
    // The selection now ends on the last new byte, anchored there.
    high_ = low_ + n - 1;
    anchor_ = high_;
    cursor_ = high_;
    if (n == 0) {
        anchor_ = -1;
        cursor_ = low_;
    }
    modified_ = true;
}

Bytes HexBuffer::CopyBytes(std::int32_t pos, std::int32_t n) const {
    if (pos < 0 || pos >= Size()) throw UserError(kInvalidCopyStart);
    if (n < 0) n = 0;
    if (static_cast<std::int64_t>(pos) + n > Size()) n = Size() - pos;
    return Bytes(bytes_.begin() + pos, bytes_.begin() + pos + n);
}

void HexBuffer::SetHexText(std::string_view text) {
    const Bytes b = HexToBytes(text);
    if (Size() > 0) SelectAll();
    ReplaceSelected(b);
}

std::int32_t HexBuffer::Search(const std::uint8_t* pattern, std::int32_t n, std::int32_t from,
                               std::int32_t to, bool ignoreCase) const {
    if (to >= Size()) to = Size() - 1;
    if (n < 1 || from < 0 ||
        static_cast<std::int64_t>(from) + n > static_cast<std::int64_t>(to) + 1)
        return -1;
    const std::uint8_t* first = bytes_.data() + from;
    const std::uint8_t* last = bytes_.data() + to + 1;
    const std::uint8_t* hit = nullptr;
    if (ignoreCase) {
        Bytes folded(pattern, pattern + n);
        for (auto& c : folded) c = FoldCase(c);
        hit = FindBytes(first, last, folded.data(), folded.size(), true);
    } else {
        hit = FindBytes(first, last, pattern, static_cast<std::size_t>(n), false);
    }
    return hit ? static_cast<std::int32_t>(hit - bytes_.data()) : -1;
}

void HexBuffer::LoadFile(const std::string& path) {
    Adopt(ReadFileContent(path, kCannotOpen), path);
}

void HexBuffer::Adopt(FileContent file, const std::string& path) {
    Reset(std::move(file.bytes));
    readOnly_ = originReadOnly_ = !file.writable;
    fileName_ = path;
    fileId_ = originId_ = file.id;
}

namespace {
// Why an existing backup cannot simply be replaced; empty when it can (or there is none).
std::string BackupProblem(const std::string& bak) {
    std::error_code ec;
    const auto st = std::filesystem::symlink_status(bak, ec);
    // Not there is fine; not knowing whether it is there is not.
    if (ec && ec != std::errc::no_such_file_or_directory) return ec.message();
    if (st.type() == std::filesystem::file_type::not_found) return {};
    switch (st.type()) {
        case std::filesystem::file_type::regular:
        case std::filesystem::file_type::symlink:  // only the link goes
            return {};
        case std::filesystem::file_type::directory:
            return "It is a folder";
        default:
            return "It is not a regular file";
    }
}
}  // namespace

void HexBuffer::SaveFile(const std::string& path, bool clearModified) {
    // Refuses a target that is no file before anything is written.
    PendingFile out(path);
    const auto& id = out.TargetId();
    const bool current = id && id == fileId_;
    const bool origin = id && id == originId_;
    bool backup = false;
    if (current || origin) {
        if (current ? readOnly_ : originReadOnly_) throw UserError(Format(kReadonly, {path}));
        backup = CreateBackup && HasUnsavedChanges();
    }
    // Beside the file that is replaced, which for a link is the file it names.
    const std::string bak = (out.Target() == path ? path : out.Target()) + BackupExtension;
    if (backup) {
        if (const std::string problem = BackupProblem(bak); !problem.empty())
            throw UserError(Format(kCannotDeleteBackup, {bak, problem}));
    }
    // The old file keeps its name until the new one takes it, and has its backup name before
    // that: a crash at any instant leaves a whole image under the name.
    out.Write(bytes_);
    out.Commit(backup ? bak : std::string{}, kCannotBackup);
    if (origin) {
        originId_ = out.NewId();
        originReadOnly_ = false;
    }
    if (clearModified) {
        modified_ = false;
        readOnly_ = false;
        fileName_ = path;
        fileId_ = out.NewId();
    }
}

void HexBuffer::LoadStream(const MemStream& stream) {
    Reset(stream.Data());
}

void HexBuffer::SaveStream(MemStream& stream) const {
    stream.SetSize(Size());
    stream.SetPosition(0);
    std::copy(bytes_.begin(), bytes_.end(), stream.Data().begin());
    stream.SetPosition(Size());
}

bool HexBuffer::HasUnsavedChanges() const {
    return modified_ && (Size() > 0 || (!fileName_.empty() && FileExists(fileName_)));
}

void HexBuffer::WriteAt(std::int32_t pos, const Bytes& b) {
    SetSelectionStart(pos);
    SetSelectionEnd(pos + static_cast<std::int32_t>(b.size()) - 1);
    ReplaceSelected(b);
}

Bytes HexBuffer::ReadAt(std::int32_t pos, std::int32_t n) {
    SetSelectionStart(pos);
    SetSelectionEnd(pos + n - 1);
    return CopyBytes(SelectionStart(), SelectionLength());
}

}  // namespace brivant
