#pragma once

// What every fuzz target shares: sample images built once per process, an editor with one
// of them opened, scratch files, edits aimed at the bytes the features own, and scripted
// answers. A UserError is a refusal the user would see, an expected outcome; anything else
// (a crash, a sanitizer report, another exception) is a finding.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "cli/ScriptedInteraction.h"
#include "core/UserError.h"
#include "sample/SampleBuilder.h"

namespace brivant::fuzz {

inline constexpr int kFamilies = 18;
// Samples are the smallest the builder makes: the readers see every structure, and a run
// copies as little as possible.
inline constexpr std::int32_t kSampleSize = 0x100000;

// The phone type a selector byte picks (1 to 18).
inline int FamilyOf(std::uint8_t selector) {
    return selector % kFamilies + 1;
}

// Answers as the command line gives them; messages go nowhere.
class FuzzUi : public ScriptedInteraction {
  public:
    FuzzUi();
};

// The sample image of a family, built on first use.
const SampleImage& Sample(int family);

// An editor with the family's sample opened through the open flow and its phone type
// chosen; with a tab, that tab shown too. Built on first use; a run works on a copy.
const Editor& Opened(int family, std::optional<Tab> tab = std::nullopt);

// The editor a run works on: Opened(family, tab) as it was, reset in place. A copy of the
// whole editor per run would map fresh pages for the image every time, which costs more
// than most runs themselves.
Editor& Fresh(int family, std::optional<Tab> tab = std::nullopt);

// The editor of a run on the MCU bytes: the family the input's first byte picks (n >= 1),
// Fresh, with the rest of the input applied as edits.
Editor& Edited(const std::uint8_t* data, std::size_t n);

// A file of this process in the temporary folder (the same path for the same name).
std::string ScratchPath(const std::string& name);
void WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t n);

// The offsets of the family's sample whose bytes do not depend on the filler seed: headers,
// chunk heads, the features' tables and code. Runs of free bytes are left out.
const std::vector<std::int32_t>& StableSpots(int family);

// Applies edits to `image`: each edit is [spot as 3 bytes, big-endian; length; bytes...],
// written at StableSpots(family)[spot % count] (cut at the image's end).
void ApplyEdits(Bytes& image, int family, const std::uint8_t* data, std::size_t n);
void ApplyEdits(HexBuffer& image, int family, const std::uint8_t* data, std::size_t n);

// Runs `f`; a UserError is an expected outcome.
template <typename F>
void Expect(F&& f) {
    try {
        f();
    } catch (const UserError&) {
    }
}

}  // namespace brivant::fuzz
