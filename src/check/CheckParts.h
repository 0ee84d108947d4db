#pragma once

// What the parts of the check share: the image being read, the report being filled, and the
// byte ranges each structure claims, so that two structures over the same bytes are found.

#include <cstdint>
#include <string>
#include <vector>

#include "check/Check.h"
#include "compare/ImageDiffParts.h"

namespace brivant::check {

inline constexpr const char* kReadFails = "The %s cannot be read: %s";

// A structure's bytes [from, to) in the image. Two claims of one kind over exactly the same
// bytes are shared data (two animations showing one frame list), not an overlap.
struct Claim {
    std::int64_t from = 0, to = 0;
    std::string kind;  // "frame list", "menu items", ...
    std::string owner;
};

class Checker {
  public:
    Checker(diff::Side& side, CheckReport& report) : side_(side), report_(report) {}

    diff::Side& side() { return side_; }
    Editor& ed() { return side_.ed; }
    const Bytes& Image() const { return side_.Image(); }
    std::int64_t Size() const { return static_cast<std::int64_t>(Image().size()); }

    // Starts the next subsystem's section; problems and summaries go there.
    CheckSubsystem& Begin(const std::string& name);
    void Problem(const std::string& text);
    void Summary(const std::string& text);

    // Where the PPM area starts (its marker), -1 when the image has none: the MCU area lies
    // before it.
    std::int64_t ppmStart = -1;
    bool InImage(std::int64_t at, std::int64_t n) const {
        return at >= 0 && n >= 0 && at + n <= Size();
    }
    bool InMcu(std::int64_t at, std::int64_t n) const {
        return InImage(at, n) && (ppmStart < 0 || at + n <= ppmStart);
    }
    // Says what is wrong with `n` bytes at `at` that `owner` points at, and returns false,
    // when they leave the image or the MCU area.
    bool RequireMcu(const std::string& owner, std::int64_t at, std::int64_t n);

    void Claim(std::int64_t at, std::int64_t n, const std::string& kind, const std::string& owner);
    // The claims that lie over each other, as problems of the current section.
    void ReportOverlaps();

  private:
    diff::Side& side_;
    CheckReport& report_;
    std::vector<check::Claim> claims_;
};

// The parts, in the order of the report.
void CheckChecksums(Checker& c, bool compare);
void CheckFreeSpace(Checker& c);
void CheckChunks(Checker& c);
void CheckRingtones(Checker& c);
void CheckAlertTones(Checker& c);
void CheckLanguages(Checker& c);
void CheckOperators(Checker& c);
void CheckMenu(Checker& c);
void CheckBitmaps(Checker& c);
void CheckAnimations(Checker& c);
void CheckPatches(Checker& c);

}  // namespace brivant::check
