#include "check/Check.h"

#include <algorithm>
#include <utility>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "check/CheckParts.h"
#include "core/UserError.h"
#include "image/ImageCheck.h"
#include "image/PhoneTypes.h"
#include "ppm/PpmCopy.h"

namespace brivant {

namespace check {

namespace {
// A damaged image can lay hundreds of structures over each other; the first ones tell the
// story.
constexpr std::size_t kMaxOverlaps = 40;
constexpr const char* kOverlap = "%s (%s) and %s (%s) lie over the same bytes";
constexpr const char* kMoreOverlaps = "... and %s more structures lying over others";
constexpr const char* kLeavesImage = "%s points at %s, outside the image (%s bytes)";
constexpr const char* kLeavesMcu = "%s points at %s, inside the PPM area (from %s)";

std::string RangeText(std::int64_t from, std::int64_t to) {
    return diff::OffsetText(from) + " to " + diff::OffsetText(to - 1);
}
}  // namespace

CheckSubsystem& Checker::Begin(const std::string& name) {
    report_.subsystems.push_back({name, {}, {}});
    return report_.subsystems.back();
}

void Checker::Problem(const std::string& text) {
    report_.subsystems.back().problems.push_back(text);
}

void Checker::Summary(const std::string& text) {
    std::string& s = report_.subsystems.back().summary;
    s += (s.empty() ? "" : ", ") + text;
}

bool Checker::RequireMcu(const std::string& owner, std::int64_t at, std::int64_t n) {
    if (!InImage(at, n)) {
        Problem(Format(kLeavesImage, {owner, diff::OffsetText(at), std::to_string(Size())}));
        return false;
    }
    if (!InMcu(at, n)) {
        Problem(Format(kLeavesMcu, {owner, diff::OffsetText(at), diff::OffsetText(ppmStart)}));
        return false;
    }
    return true;
}

void Checker::Claim(std::int64_t at, std::int64_t n, const std::string& kind,
                    const std::string& owner) {
    if (n > 0 && InImage(at, n)) claims_.push_back({at, at + n, kind, owner});
}

void Checker::ReportOverlaps() {
    std::sort(claims_.begin(), claims_.end(), [](const check::Claim& a, const check::Claim& b) {
        return a.from != b.from ? a.from < b.from : a.to < b.to;
    });
    std::size_t found = 0;
    for (std::size_t i = 0; i < claims_.size(); ++i) {
        const check::Claim& a = claims_[i];
        for (std::size_t j = i + 1; j < claims_.size() && claims_[j].from < a.to; ++j) {
            const check::Claim& b = claims_[j];
            if (b.owner == a.owner || (a.kind == b.kind && a.from == b.from && a.to == b.to))
                continue;
            if (++found <= kMaxOverlaps)
                Problem(Format(kOverlap, {a.owner, RangeText(a.from, a.to), b.owner,
                                          RangeText(b.from, b.to)}));
        }
    }
    if (found > kMaxOverlaps)
        Problem(Format(kMoreOverlaps, {std::to_string(found - kMaxOverlaps)}));
    Summary(std::to_string(claims_.size()) + " structures");
}

}  // namespace check

namespace {

constexpr const char* kNoType = "No phone type: detection found none (give the phone type)";
constexpr const char* kCheckFailed = "The check stopped early: %s";

// The image's part of the report: what was opened, and why the rest could not be read.
// False when no reader can run.
bool CheckOpened(check::Checker& c) {
    c.Begin("image");
    Editor& ed = c.ed();
    c.Summary(std::to_string(ed.MainHex.Size()) + " bytes");
    if (ed.PhoneType() != 0) c.Summary("phone type " + ed.PhoneTypeText());
    if (!ed.ModelName.empty()) c.Summary("model " + ed.ModelName);
    if (ed.PhoneType() == 0) {
        c.Problem(c.side().openError.empty() ? kNoType : c.side().openError);
        return false;
    }
    if (!ed.ppm.split) {
        c.Problem(diff::SplitError(c.side()));
        return false;
    }
    if (!c.side().openError.empty()) c.Problem(c.side().openError);
    return true;
}

CheckReport Run(diff::Side& side, const CheckOptions& o) {
    CheckReport report;
    check::Checker c(side, report);
    c.ppmStart = diff::Find(side, kPpmMarkerHex, 1);
    const bool readable = CheckOpened(c);
    using Part = void (*)(check::Checker&);
    static constexpr Part kParts[] = {check::CheckFreeSpace,  check::CheckChunks,
                                      check::CheckRingtones,  check::CheckAlertTones,
                                      check::CheckLanguages,  check::CheckOperators,
                                      check::CheckMenu,       check::CheckBitmaps,
                                      check::CheckAnimations, check::CheckPatches};
    auto guarded = [&](auto&& part) {
        const std::size_t before = report.subsystems.size();
        try {
            part();
        } catch (const std::exception& e) {
            // A reader that throws past its own guard is a finding about the image; the
            // other subsystems are still worth reading.
            if (report.subsystems.size() == before) c.Begin("check");
            c.Problem(Format(kCheckFailed, {DisplayText(e.what())}));
        }
    };
    guarded([&] { check::CheckChecksums(c, o.checksums); });
    if (readable)
        for (const Part part : kParts) guarded([&] { part(c); });
    c.Begin("overlaps");
    c.ReportOverlaps();
    return report;
}

void OpenTolerant(diff::Side& s, const std::function<void()>& open, int phoneType) {
    try {
        open();
    } catch (const UserError& e) {
        if (s.ed.MainHex.Empty()) throw;
        s.openError = DisplayText(e.what());
    }
    if (phoneType != 0 && s.ed.PhoneType() == 0 && s.ed.phoneList.enabled) {
        try {
            ChoosePhoneType(s.ed, s.ui, phoneType);
        } catch (const UserError& e) {
            s.openError = DisplayText(e.what());
        }
    }
    if (s.openError.empty()) s.openError = DisplayText(s.ui.lastError);
}

CheckReport NotAnImage(const std::string& why) {
    CheckReport r;
    r.subsystems.push_back({"image", {}, {why}});
    return r;
}

}  // namespace

bool CheckReport::Ok() const {
    return std::all_of(subsystems.begin(), subsystems.end(),
                       [](const CheckSubsystem& s) { return s.Ok(); });
}

std::vector<std::string> CheckReport::Problems() const {
    std::vector<std::string> all;
    for (const CheckSubsystem& s : subsystems)
        for (const std::string& p : s.problems) all.push_back(s.name + ": " + p);
    return all;
}

const CheckSubsystem* CheckReport::Find(const std::string& name) const {
    for (const CheckSubsystem& s : subsystems)
        if (s.name == name) return &s;
    return nullptr;
}

CheckReport CheckFile(const std::string& path, const CheckOptions& o) {
    FileContent file = ReadFileContent(path, HexBuffer::kCannotOpen);
    return CheckBytes(std::move(file.bytes), path, o);
}

CheckReport CheckBytes(Bytes image, const std::string& name, const CheckOptions& o) {
    if (const std::string missing = MissingImagePart(image); !missing.empty())
        return NotAnImage(Format(kNotAnImage, {name, missing}));
    Editor ed;
    diff::Side side(ed);
    OpenTolerant(
        side,
        [&] {
            OpenContent(ed, side.ui, FileContent{std::move(image), {}, false}, name);
        },
        o.phoneType);
    return Run(side, o);
}

std::optional<std::string> SavedImageWarning(const std::string& path, int phoneType) {
    // The message box holds the first problems; the command line lists them all.
    constexpr std::size_t kShown = 5;
    CheckOptions o;
    o.phoneType = phoneType;
    o.checksums = false;
    std::vector<std::string> problems;
    try {
        problems = CheckFile(path, o).Problems();
    } catch (const std::exception&) {
        return std::nullopt;
    }
    if (problems.empty()) return std::nullopt;
    std::string list;
    for (std::size_t i = 0; i < problems.size() && i < kShown; ++i) list += "\n" + problems[i];
    if (problems.size() > kShown)
        list += "\n(" + std::to_string(problems.size() - kShown) + " more)";
    return Format(kCheckSurvive, {list});
}

CheckReport CheckEditor(const Editor& ed, CheckOptions o) {
    Editor copy(ed);
    if (copy.PpmChanged && copy.ppm.split) UpdatePPM(copy);
    if (o.phoneType == 0) o.phoneType = ed.PhoneType();
    return CheckBytes(copy.MainHex.Data(), copy.MainHex.FileName(), o);
}

}  // namespace brivant
