#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/HexText.h"
#include "image/PpmPieces.h"

namespace brivant {

struct Session;

// What one command changed in the image, and nothing more: the runs of MainHex it wrote
// (old and new bytes), the part of each PPM piece it replaced, the copy's cut state, the
// MCU free offset and the change marks.
struct HistoryStep {
    struct Run {
        std::int32_t offset = 0;
        Bytes before, after;
    };
    // In piece `piece`, from hex digit `at`, `before` became `after`.
    struct PieceEdit {
        int piece = 0;
        std::size_t at = 0;
        std::string before, after;
    };
    struct CopyState {
        std::int32_t totalLength = 0;
        std::int32_t writtenLength = 0;
        bool split = false;
        std::array<std::int32_t, kChunkCount> chunkOffset{};
    };

    std::string description;
    std::vector<Run> runs;
    std::vector<PieceEdit> pieces;
    CopyState copyBefore, copyAfter;
    std::int32_t freeBefore = -1, freeAfter = -1;
    bool ppmChangedBefore = false, ppmChangedAfter = false;
    bool modifiedBefore = false, modifiedAfter = false;
    // The image state this step leads to; the state before it is its predecessor's.
    std::uint64_t serial = 0;

    // What the step keeps in memory, roughly.
    std::size_t Footprint() const;
};

// The undo stack of one opened image. Every command is bracketed by Begin and Commit; the
// step kept is the difference between the two, so commands need not know about it. The
// stack forgets its oldest steps beyond a count or a memory bound.
class History {
  public:
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    explicit History(std::size_t maxSteps = kMaxSteps, std::size_t maxBytes = kMaxBytes)
        : maxSteps_(maxSteps), maxBytes_(maxBytes) {}

    // Remembers the image as it stands before a command.
    void Begin(const Session& s);
    // Keeps what the command changed as one step (redo steps are dropped then). False when
    // it changed nothing, or when no Begin is pending (an open in between forgets it).
    bool Commit(const Session& s, std::string description);
    // A new image: no steps, and this state is the one on disk.
    void Clear();

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // Takes back the last step (puts back the next one); its description, or nothing when
    // there is none.
    std::optional<std::string> Undo(Session& s);
    std::optional<std::string> Redo(Session& s);

    // A save writes the PPM copy and the repaired checksums into MainHex. Those bytes belong
    // to the state the save was made in: undo takes them back with the steps that led there
    // and redo puts them back, so every state is restored byte for byte, whatever was saved
    // in between. BeginSave remembers the image before the save, EndSave keeps what it
    // changed (also when the save failed half-way).
    void BeginSave(const Session& s);
    void EndSave(const Session& s);
    // The image was just written to its file: this state is the saved one.
    void MarkSaved(const Session& s);
    // True while the image holds changes its file does not: edits in MainHex, or chunk edits
    // made or taken back since the last save.
    bool Unsaved(const Session& s) const;

    std::size_t StepCount() const { return steps_.size(); }
    std::size_t UndoCount() const { return done_; }
    std::size_t Footprint() const { return bytes_; }
    const HistoryStep& Step(std::size_t i) const { return steps_.at(i); }

  private:
    std::uint64_t Current() const { return done_ == 0 ? base_ : steps_[done_ - 1].serial; }
    void Apply(Session& s, const HistoryStep& step, bool forward) const;
    // The saves made in state `serial`, taken back (newest first) or put back (oldest first).
    void ApplySaves(Session& s, std::uint64_t serial, bool forward) const;
    // Forgets the saves of states no step leads to any more.
    void DropSaves(std::uint64_t from, std::uint64_t to);
    void Trim();

    std::size_t maxSteps_, maxBytes_;
    std::deque<HistoryStep> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) are in the image
    std::size_t bytes_ = 0;
    std::uint64_t base_ = 0;    // the state before the oldest step kept
    std::uint64_t serial_ = 0;  // the last state number handed out
    std::uint64_t saved_ = 0;   // the state the file holds
    bool savedSinceOpen_ = false;
    // What each save wrote into MainHex, oldest first, with the state it was made in.
    struct SaveWrite {
        std::uint64_t serial = 0;
        std::vector<HistoryStep::Run> runs;
        HistoryStep::CopyState copyBefore, copyAfter;
        std::size_t Footprint() const;
    };
    std::vector<SaveWrite> saves_;
    bool savePending_ = false;
    Bytes saveSnapBytes_;
    HistoryStep::CopyState saveSnapCopy_;

    // The image before the pending command.
    bool pending_ = false;
    Bytes snapBytes_;
    std::array<std::string, kPieceCount> snapPieces_;
    HistoryStep::CopyState snapCopy_;
    std::int32_t snapFree_ = -1;
    bool snapPpmChanged_ = false;
    bool snapModified_ = false;
};

}  // namespace brivant
