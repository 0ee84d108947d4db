#include "app/History.h"

#include <algorithm>
#include <cstring>

#include "image/Session.h"

namespace brivant {

namespace {

// Changed bytes closer than this are kept as one run: a run costs more to keep than a few
// unchanged bytes inside it.
constexpr std::size_t kRunGap = 16;
constexpr std::size_t kBlock = 64;

// How many leading bytes the two ranges share, comparing a block at a time.
std::size_t CommonPrefix(const char* a, const char* b, std::size_t n) {
    std::size_t i = 0;
    while (i + kBlock <= n && std::memcmp(a + i, b + i, kBlock) == 0) i += kBlock;
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

std::size_t CommonSuffix(const char* a, std::size_t na, const char* b, std::size_t nb,
                         std::size_t limit) {
    std::size_t i = 0;
    while (i + kBlock <= limit &&
           std::memcmp(a + na - i - kBlock, b + nb - i - kBlock, kBlock) == 0)
        i += kBlock;
    while (i < limit && a[na - i - 1] == b[nb - i - 1]) ++i;
    return i;
}

std::vector<HistoryStep::Run> ChangedRuns(const Bytes& before, const Bytes& after) {
    std::vector<HistoryStep::Run> runs;
    const auto* a = reinterpret_cast<const char*>(before.data());
    const auto* b = reinterpret_cast<const char*>(after.data());
    const std::size_t n = before.size();
    std::size_t i = 0;
    while (i < n) {
        i += CommonPrefix(a + i, b + i, n - i);
        if (i >= n) break;
        const std::size_t start = i;
        std::size_t last = i;
        for (; i < n && i - last <= kRunGap; ++i)
            if (a[i] != b[i]) last = i;
        const std::size_t end = last + 1;
        runs.push_back({static_cast<std::int32_t>(start),
                        Bytes(before.begin() + static_cast<std::ptrdiff_t>(start),
                              before.begin() + static_cast<std::ptrdiff_t>(end)),
                        Bytes(after.begin() + static_cast<std::ptrdiff_t>(start),
                              after.begin() + static_cast<std::ptrdiff_t>(end))});
        i = end;
    }
    return runs;
}

// The part of a piece that changed: what lies between the text both versions start with
// and the text both end with.
HistoryStep::PieceEdit PieceChange(int piece, const std::string& before, const std::string& after) {
    const std::size_t shorter = std::min(before.size(), after.size());
    const std::size_t pre = CommonPrefix(before.data(), after.data(), shorter);
    const std::size_t post =
        CommonSuffix(before.data(), before.size(), after.data(), after.size(), shorter - pre);
    return {piece, pre, before.substr(pre, before.size() - pre - post),
            after.substr(pre, after.size() - pre - post)};
}

HistoryStep::CopyState CopyStateOf(const PpmCopy& c) {
    return {c.totalLength, c.writtenLength, c.split, c.chunkOffset};
}

bool operator==(const HistoryStep::CopyState& a, const HistoryStep::CopyState& b) {
    return a.totalLength == b.totalLength && a.writtenLength == b.writtenLength &&
           a.split == b.split && a.chunkOffset == b.chunkOffset;
}

void PutCopyState(PpmCopy& c, const HistoryStep::CopyState& state) {
    c.totalLength = state.totalLength;
    c.writtenLength = state.writtenLength;
    c.split = state.split;
    c.chunkOffset = state.chunkOffset;
}

}  // namespace

std::size_t HistoryStep::Footprint() const {
    std::size_t n = sizeof(HistoryStep) + description.size();
    for (const Run& r : runs) n += sizeof(Run) + r.before.size() + r.after.size();
    for (const PieceEdit& p : pieces) n += sizeof(PieceEdit) + p.before.size() + p.after.size();
    return n;
}

std::size_t History::SaveWrite::Footprint() const {
    std::size_t n = sizeof(SaveWrite);
    for (const HistoryStep::Run& r : runs)
        n += sizeof(HistoryStep::Run) + r.before.size() + r.after.size();
    return n;
}

void History::Begin(const Session& s) {
    snapBytes_ = s.MainHex.Data();
    snapPieces_ = s.ppm.pieces;
    snapCopy_ = CopyStateOf(s.ppm);
    snapFree_ = s.FreeOffset;
    snapPpmChanged_ = s.PpmChanged;
    snapModified_ = s.MainHex.Modified();
    pending_ = true;
}

bool History::Commit(const Session& s, std::string description) {
    if (!pending_) return false;
    pending_ = false;
    // Another image came in without the open flow telling us: nothing of it can be undone.
    if (s.MainHex.Data().size() != snapBytes_.size()) {
        Clear();
        return false;
    }

    HistoryStep step;
    step.runs = ChangedRuns(snapBytes_, s.MainHex.Data());
    for (int p = 0; p < kPieceCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (snapPieces_[i] != s.ppm.pieces[i])
            step.pieces.push_back(PieceChange(p, snapPieces_[i], s.ppm.pieces[i]));
    }
    step.copyBefore = snapCopy_;
    step.copyAfter = CopyStateOf(s.ppm);
    step.freeBefore = snapFree_;
    step.freeAfter = s.FreeOffset;
    step.ppmChangedBefore = snapPpmChanged_;
    step.ppmChangedAfter = s.PpmChanged;
    step.modifiedBefore = snapModified_;
    step.modifiedAfter = s.MainHex.Modified();

    // The first cut of the PPM area only reads the image; edits of the copy count once it
    // was cut before and after the command.
    const bool pieceEdits = !step.pieces.empty() && snapCopy_.split && s.ppm.split;
    // A chunk sealed again with the bytes it had marks the copy changed but changes
    // nothing: that is no step (and nothing to save).
    const bool resealed = snapCopy_.split && s.ppm.split && step.pieces.empty();
    const bool changed = !step.runs.empty() || pieceEdits || step.freeBefore != step.freeAfter ||
                         (step.ppmChangedBefore != step.ppmChangedAfter && !resealed);
    if (!changed) return false;

    // A new step ends what could be redone, and what was saved in the states it led to.
    if (steps_.size() > done_) DropSaves(steps_[done_].serial, steps_.back().serial);
    while (steps_.size() > done_) {
        bytes_ -= steps_.back().Footprint();
        steps_.pop_back();
    }
    step.description = std::move(description);
    step.serial = ++serial_;
    bytes_ += step.Footprint();
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    Trim();
    return true;
}

void History::Trim() {
    while (!steps_.empty() && (steps_.size() > maxSteps_ || bytes_ > maxBytes_)) {
        bytes_ -= steps_.front().Footprint();
        // The saves of the state before the oldest step are never taken back again.
        DropSaves(0, base_);
        base_ = steps_.front().serial;
        steps_.pop_front();
        if (done_ > 0) --done_;
    }
}

void History::DropSaves(std::uint64_t from, std::uint64_t to) {
    std::erase_if(saves_, [&](const SaveWrite& w) {
        const bool drop = w.serial >= from && w.serial <= to;
        if (drop) bytes_ -= w.Footprint();
        return drop;
    });
}

void History::BeginSave(const Session& s) {
    saveSnapBytes_ = s.MainHex.Data();
    saveSnapCopy_ = CopyStateOf(s.ppm);
    savePending_ = true;
}

void History::EndSave(const Session& s) {
    if (!savePending_) return;
    savePending_ = false;
    const Bytes before = std::move(saveSnapBytes_);
    saveSnapBytes_.clear();
    if (s.MainHex.Data().size() != before.size()) return;
    SaveWrite w;
    w.serial = Current();
    w.runs = ChangedRuns(before, s.MainHex.Data());
    w.copyBefore = saveSnapCopy_;
    w.copyAfter = CopyStateOf(s.ppm);
    if (w.runs.empty() && w.copyBefore == w.copyAfter) return;
    bytes_ += w.Footprint();
    saves_.push_back(std::move(w));
}

void History::ApplySaves(Session& s, std::uint64_t serial, bool forward) const {
    const auto put = [&](const SaveWrite& w) {
        for (const HistoryStep::Run& r : w.runs)
            s.MainHex.WriteAt(r.offset, forward ? r.after : r.before);
        PutCopyState(s.ppm, forward ? w.copyAfter : w.copyBefore);
    };
    if (forward) {
        for (const SaveWrite& w : saves_)
            if (w.serial == serial) put(w);
    } else {
        for (auto it = saves_.rbegin(); it != saves_.rend(); ++it)
            if (it->serial == serial) put(*it);
    }
}

void History::Clear() {
    steps_.clear();
    done_ = 0;
    bytes_ = 0;
    base_ = saved_ = ++serial_;
    savedSinceOpen_ = false;
    saves_.clear();
    pending_ = savePending_ = false;
}

void History::Apply(Session& s, const HistoryStep& step, bool forward) const {
    for (const HistoryStep::Run& r : step.runs)
        s.MainHex.WriteAt(r.offset, forward ? r.after : r.before);
    for (const HistoryStep::PieceEdit& e : step.pieces) {
        std::string& piece = s.ppm.pieces[static_cast<std::size_t>(e.piece)];
        const std::string& out = forward ? e.before : e.after;
        piece.replace(e.at, out.size(), forward ? e.after : e.before);
    }
    if (!(step.copyBefore == step.copyAfter))
        PutCopyState(s.ppm, forward ? step.copyAfter : step.copyBefore);
    s.FreeOffset = forward ? step.freeAfter : step.freeBefore;
}

std::optional<std::string> History::Undo(Session& s) {
    if (!CanUndo()) return std::nullopt;
    const std::size_t i = done_ - 1;
    const HistoryStep& step = steps_[i];
    ApplySaves(s, step.serial, false);
    Apply(s, step, false);
    done_ = i;
    // The bytes are those of the state before the step, saves taken back: so is the mark.
    s.PpmChanged = step.ppmChangedBefore;
    s.MainHex.SetModified(Current() != saved_ && (step.modifiedBefore || savedSinceOpen_));
    return step.description;
}

std::optional<std::string> History::Redo(Session& s) {
    if (!CanRedo()) return std::nullopt;
    const HistoryStep& step = steps_[done_];
    Apply(s, step, true);
    ApplySaves(s, step.serial, true);
    ++done_;
    s.PpmChanged = step.ppmChangedAfter;
    s.MainHex.SetModified(Current() != saved_ && (step.modifiedAfter || savedSinceOpen_));
    return step.description;
}

void History::MarkSaved(const Session&) {
    saved_ = Current();
    savedSinceOpen_ = true;
}

bool History::Unsaved(const Session& s) const {
    return s.MainHex.HasUnsavedChanges() || (s.PpmChanged && Current() != saved_);
}

}  // namespace brivant
