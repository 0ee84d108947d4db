#include "cli/CliSession.h"

#include <cctype>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "core/FileIO.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"

namespace brivant {

namespace {
constexpr const char* kAlreadyDetected = "Phone type already detected as %s";
constexpr const char* kNeedsOutput =
    "this command changes the image: give -o OUT.fls or --in-place";
constexpr const char* kNoAnswer = "no answer given to: ";
constexpr const char* kCannotCreate = "Cannot create file %s (%s)";
constexpr const char* kNoSuchRow = "Row %s does not exist: the list has %s rows";
constexpr const char* kUnknownType = "--type: unknown phone type '%s' (one of %s)";
constexpr const char* kJsonAndStdout =
    "--json and a file written to standard output (-) cannot share it: write the file to a "
    "name, or leave out --json";
constexpr const char* kToTerminal =
    "binary data is not written to a terminal: redirect standard output (> FILE, | COMMAND) "
    "or give a file name instead of -";
constexpr const char* kInPlaceStdin = "--in-place needs an image file, not standard input";
constexpr const char* kNoChecksumRepair =
    "The MCU checksum range of the image lies outside the file, so the checksums of the saved "
    "file could not be repaired; nothing was written (--no-checksum saves without repairing "
    "them)";
}  // namespace

std::string InputArg(CliContext& ctx, const std::string& arg, const std::string& ext) {
    return ctx.standIns ? ctx.standIns->InputPath(arg, ext) : arg;
}

void RefuseJsonWithStdout(CliContext& ctx, const std::string& output) {
    if (ctx.json && StandIns::IsStdio(output)) UsageError(ctx, kJsonAndStdout);
}

std::string OutputArg(CliContext& ctx, const std::string& arg, const std::string& ext) {
    RefuseJsonWithStdout(ctx, arg);
    if (ctx.stdoutTerminal && StandIns::IsStdio(arg)) UsageError(ctx, kToTerminal);
    return ctx.standIns ? ctx.standIns->OutputPath(arg, ext) : arg;
}

namespace {
// The extension a file read through `d` is expected to have: its default one, else the first
// of its filter ("Bitmap files (*.bmp)"), for readers that go by the name.
std::string ExpectedExtension(const FileDialog& d) {
    if (!d.defaultExt.empty()) return d.defaultExt;
    const std::size_t star = d.filter.find("*.");
    if (star == std::string::npos) return {};
    std::string ext;
    for (std::size_t i = star + 2;
         i < d.filter.size() && std::isalnum(static_cast<unsigned char>(d.filter[i])); ++i)
        ext.push_back(d.filter[i]);
    return ext;
}
}  // namespace

std::optional<std::string> SessionInteraction::askOpenFile(const FileDialog& d) {
    auto path = ScriptedInteraction::askOpenFile(d);
    if (path) *path = InputArg(ctx_, *path, ExpectedExtension(d));
    return path;
}

std::optional<std::string> SessionInteraction::askSaveFile(const FileDialog& d) {
    auto path = ScriptedInteraction::askSaveFile(d);
    if (!path) return path;
    // Standard output is never the open image.
    if (StandIns::IsStdio(*path)) return OutputArg(ctx_, *path);
    if (image_.FileIdentity() && IdOf(*path) == image_.FileIdentity())
        throw UserError(Format(kExportIsImage, {*path}));
    return path;
}

void UsageError(CliContext& ctx, const std::string& text) {
    ctx.err << kProgramPrefix << text << '\n';
    throw CliExit{2};
}

void UnknownPhoneType(CliContext& ctx, const std::string& type) {
    const auto& texts = PhoneTypeTexts();
    UsageError(ctx, Format(kUnknownType, {type, ChoiceText({texts.begin() + 1, texts.end()})}));
}

std::string ChoiceText(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

CliSession::CliSession(CliContext& c, const ImageOptions& o)
    : ui(c, ed.MainHex), options(o), ctx(c) {}

void CliSession::Open(bool tolerant) {
    const ImageOptions& o = options;
    if (!o.type.empty() && PhoneTypeIndex(o.type) == 0) UnknownPhoneType(ctx, o.type);
    std::string path;
    try {
        path = InputArg(ctx, o.image);
        OpenPath(ed, ui, path);
        // Kept only by a command that saves, to tell an edit from none: a copy of a large
        // image is most of what a command that only looks at it would cost.
        if (!target_.empty()) opened_ = ed.MainHex.Data();
    } catch (const UserError& e) {
        ui.error(e.what());
        // A loaded image whose detection or reading failed can still be looked at.
        if (!tolerant || path.empty() || ed.MainHex.FileName() != path) throw CliExit{1};
    }
    ApplyWantedType(tolerant);
    if (!tolerant) CheckTold();
}

void CliSession::ApplyWantedType(bool tolerant) {
    const int wanted = options.type.empty() ? 0 : PhoneTypeIndex(options.type);
    if (wanted == 0 || ed.PhoneType() == wanted) return;
    if (!ed.phoneList.enabled && ed.PhoneType() != 0) {
        ui.error(Format(kAlreadyDetected, {ed.PhoneTypeText()}));
        throw CliExit{1};
    }
    try {
        ChoosePhoneType(ed, ui, wanted);
    } catch (const UserError& e) {
        ui.error(e.what());
        if (!tolerant) throw CliExit{1};
    }
}

void CliSession::Reopen() {
    HexBuffer& m = ed.MainHex;
    const bool changed = m.Modified() || ed.PpmChanged;
    try {
        if (ed.PpmChanged && ed.ppm.split) UpdatePPM(ed);
    } catch (const UserError& e) {
        ui.error(e.what());
        throw CliExit{1};
    }
    // The checksums as the save repairs them: bytes a later command may read.
    if (!options.noChecksum && ChecksumsRepairable(m.Data())) RepairImageChecksums(m);
    // The file keeps its identity and its name: exports are still kept off it, and the final
    // save makes its backup as it would have.
    FileContent file{m.Data(), m.FileIdentity().value_or(FileId{}), !m.ReadOnly()};
    const std::string path = m.FileName();
    try {
        OpenContent(ed, ui, std::move(file), path);
    } catch (const UserError& e) {
        ui.error(e.what());
        throw CliExit{1};
    }
    ApplyWantedType(false);
    ed.PpmChanged = false;
    m.SetModified(changed);
    CheckTold();
}

void CliSession::RequireOutput() {
    if (options.out.empty() && !options.inPlace) UsageError(ctx, kNeedsOutput);
    if (options.inPlace && StandIns::IsStdio(options.image)) UsageError(ctx, kInPlaceStdin);
    // "-o -" writes the image to standard output: a new file, so no .bak and no in-place.
    try {
        target_ = options.inPlace ? options.image : OutputArg(ctx, options.out);
    } catch (const UserError& e) {
        UsageError(ctx, e.what());
    }
    if (const std::string problem = OutputProblem(target_); !problem.empty()) {
        ui.error(Format(kCannotCreate, {target_, problem}));
        throw CliExit{1};
    }
}

void CliSession::RequireRow(std::int64_t row, std::size_t rows) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows) {
        ui.error(Format(kNoSuchRow, {std::to_string(row), std::to_string(rows)}));
        throw CliExit{1};
    }
}

void CliSession::RequireChecksumRepair() {
    if (options.noChecksum) return;
    const Bytes& image = ed.MainHex.Data();
    // The same limits the repair checks, on the bytes that will be saved (the size of the
    // image never changes).
    if (ChecksumsRepairable(image)) return;
    ui.error(kNoChecksumRepair);
    throw CliExit{1};
}

void CliSession::Save() {
    const ImageOptions& o = options;
    const std::string& target = target_;
    ui.checksumOk = !o.noChecksum;
    if (!CanSave(ed, ui)) throw CliExit{1};
    RequireChecksumRepair();
    try {
        // The bytes the save would write: an edit that gives back what IMAGE holds (the
        // same picture loaded again, the same texts typed) is no edit, whichever command
        // made it, and is not written.
        if (ed.PpmChanged && ed.ppm.split) UpdatePPM(ed);
        HexBuffer result = ed.MainHex;
        if (!o.noChecksum) RepairImageChecksums(result);
        if (result.Data() == opened_) {
            ui.error(kNothingEdited);
            throw CliExit{1};
        }
        if (o.noChecksum)
            SavePath(ed, ui, target);  // answers the checksum question with Cancel
        else
            SaveWithChecksums(ed, ui, target);
    } catch (const UserError& e) {
        ui.error(e.what());
        throw CliExit{1};
    }
    CheckTold();
}

void CliSession::CheckTold() {
    // A refused answer was told already: the question asked again after it is no news.
    if (ui.HadError()) throw CliExit{1};
    if (!ui.Unanswered().empty()) {
        ctx.err << kProgramPrefix << kNoAnswer << ui.Unanswered() << '\n';
        throw CliExit{1};
    }
}

namespace {
constexpr const char* kNotAnEdit = "this command does not change the image";

// One step of a recipe: the command's own work on the image the recipe opened; whatever it
// tells ends the step.
void RunOnOpenImage(CliSession& s, const Flow& flow,
                    const std::function<void(CliSession&)>& command) {
    if (!flow.saves) UsageError(s.ctx, kNotAnEdit);
    if (flow.needsType && !RequireTypeAndImage(s.ed, s.ui)) throw CliExit{1};
    if (flow.tab) {
        TabChanged(s.ed, s.ui, *flow.tab);
        s.CheckTold();
    }
    command(s);
    // The next step finds the free space as a separate command would after opening the
    // saved image.
    RecountFreeSpace(s.ed);
    s.CheckTold();
}
}  // namespace

void RunOnImage(CliContext& ctx, const ImageOptions& o, const Flow& flow,
                const std::function<void(CliSession&)>& command) {
    if (ctx.open) return RunOnOpenImage(*ctx.open, flow, command);
    CliSession s(ctx, o);
    if (flow.saves) s.RequireOutput();
    s.Open(flow.tolerant);
    if (flow.saves) s.RequireChecksumRepair();
    if (flow.needsType && !RequireTypeAndImage(s.ed, s.ui)) throw CliExit{1};
    if (flow.tab) {
        TabChanged(s.ed, s.ui, *flow.tab);
        s.CheckTold();
    }
    command(s);
    // A look-only command still shows what it can after a told failure.
    if (!flow.tolerant) s.CheckTold();
    if (flow.saves) s.Save();
}

}  // namespace brivant
