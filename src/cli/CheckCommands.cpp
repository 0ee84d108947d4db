#include "check/Check.h"
#include "cli/CliModule.h"
#include "cli/Json.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"

namespace brivant {

namespace {

// The exit statuses of `check`: 0 nothing wrong, 1 something is, 2 the image could not be
// read at all (or wrong usage).
constexpr int kProblems = 1;

constexpr const char* kNoProblems = "No problems found";
constexpr const char* kOneProblem = "1 problem found";
constexpr const char* kProblemsFound = "%s problems found";

struct CheckArgs {
    std::string image, type;
    bool json = false;
};

void PrintJson(std::ostream& out, const CheckReport& r) {
    Json j;
    j.BeginObject().Key("ok").Bool(r.Ok()).Key("subsystems").BeginArray();
    for (const CheckSubsystem& s : r.subsystems) {
        j.BeginObject().Key("name").String(s.name).Key("ok").Bool(s.Ok());
        j.Key("summary").String(s.summary).Key("problems").BeginArray();
        for (const std::string& p : s.problems) j.String(p);
        j.EndArray().EndObject();
    }
    j.EndArray().EndObject();
    out << j.Text() << '\n';
}

void PrintText(std::ostream& out, const CheckReport& r) {
    for (const CheckSubsystem& s : r.subsystems) {
        out << s.name << ": " << (s.Ok() ? "ok" : std::to_string(s.problems.size()) + " wrong");
        if (!s.summary.empty()) out << " (" << s.summary << ")";
        out << '\n';
    }
    const std::vector<std::string> problems = r.Problems();
    for (const std::string& p : problems) out << p << '\n';
    if (problems.empty())
        out << kNoProblems << '\n';
    else if (problems.size() == 1)
        out << kOneProblem << '\n';
    else
        out << Format(kProblemsFound, {std::to_string(problems.size())}) << '\n';
}

void Check(CliContext& ctx, const CheckArgs& a) {
    // A report that cannot be written is trouble, not "problems".
    ctx.cannotWriteStatus = kTroubleStatus;
    CheckOptions o;
    if (!a.type.empty()) {
        o.phoneType = PhoneTypeIndex(a.type);
        if (o.phoneType == 0) UnknownPhoneType(ctx, a.type);
    }
    CheckReport r;
    try {
        r = CheckFile(InputArg(ctx, a.image), o);
    } catch (const std::exception& e) {
        ctx.err << kProgramPrefix << MessageLine(e.what()) << '\n';
        throw CliExit{kTroubleStatus};
    }
    if (a.json)
        PrintJson(ctx.out, r);
    else
        PrintText(ctx.out, r);
    if (!r.Ok()) throw CliExit{kProblems};
}

}  // namespace

// Whether an image is safe to flash: every reader run over it, and what they find wrong.
void CheckCommands(CLI::App& app, CliContext& ctx) {
    Command<CheckArgs> check(
        ctx, &app, "check",
        "Check that an image is safe to flash (exit status 0 ok, 1 problems, 2 trouble)");
    CheckArgs& a = check.args();
    check->add_option("IMAGE", a.image, "Flash image to check (*.fls; - reads standard input)")
        ->required();
    check->add_option("--type", a.type,
                      "Phone type (such as 3310 or 62XX/7110) for an image whose detection finds "
                      "none");
    check->add_flag("--json", a.json, "Print one JSON object");
    check.Runs(Check);
}

}  // namespace brivant
