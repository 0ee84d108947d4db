#include <algorithm>

#include "cli/CliModule.h"
#include "cli/DiffPrint.h"
#include "cli/Json.h"
#include "cli/Rows.h"
#include "compare/ImageDiff.h"
#include "compare/RecipeMaker.h"
#include "core/FileIO.h"
#include "image/PhoneTypes.h"

namespace brivant {

namespace {

// The exit statuses of `diff`, as people and scripts know them from diff(1): 0 equal,
// 1 different, 2 trouble.
constexpr int kDifferent = 1;
constexpr int kTrouble = 2;
// A text listing stops after this many lines of one section; --json has them all.
constexpr std::size_t kShownPerSection = 40;
// The change words line up in a column of this width (longer ones push their line on).
constexpr std::size_t kChangeWidth = 16;

constexpr const char* kNoDifferences = "No differences";
constexpr const char* kOffsetsNote = "(0x... numbers are image offsets)";

struct DiffArgs {
    std::string a, b, type, recipe;
    bool json = false;
};

void ImageJson(Json& j, const DiffImage& i) {
    j.BeginObject().Key("file").String(i.file).Key("phoneType").String(i.phoneType);
    j.Key("model").String(i.model).Key("size").Number(i.size).EndObject();
}

void TextOrNull(Json& j, const std::string& text) {
    if (text.empty())
        j.Null();
    else
        j.String(text);
}

void PrintJson(std::ostream& out, const ImageDiff& d) {
    Json j;
    j.BeginObject().Key("equal").Bool(d.Equal()).Key("differingBytes").Number(d.differingBytes);
    j.Key("a");
    ImageJson(j, d.a);
    j.Key("b");
    ImageJson(j, d.b);
    j.Key("sections").BeginObject();
    for (const DiffSection& s : d.sections) {
        j.Key(s.key).BeginObject().Key("title").String(s.title).Key("differs").Bool(s.Differs());
        j.Key("unreadableA");
        TextOrNull(j, s.unreadableA);
        j.Key("unreadableB");
        TextOrNull(j, s.unreadableB);
        j.Key("entries").BeginArray();
        for (const DiffEntry& e : s.entries) {
            j.BeginObject().Key("change").String(e.change).Key("item").String(e.item);
            j.Key("a");
            TextOrNull(j, e.a);
            j.Key("b");
            TextOrNull(j, e.b);
            j.EndObject();
        }
        j.EndArray().EndObject();
    }
    j.EndObject().Key("runs").BeginArray();
    for (const ByteRun& r : d.unexplained)
        j.BeginObject().Key("offset").Number(r.offset).Key("length").Number(r.length).EndObject();
    j.EndArray().EndObject();
    out << j.Text() << '\n';
}

std::string ImageLine(const char* side, const DiffImage& i) {
    std::string line = std::string(side) + ": " + i.file + " (phone type " + i.phoneType;
    if (!i.model.empty()) line += ", model " + i.model;
    return line + ", " + std::to_string(i.size) + " bytes)";
}

std::string EntryLine(const DiffEntry& e) {
    std::string line = "  " + e.change;
    line.resize(std::max(line.size(), kChangeWidth), ' ');
    line += "  " + e.item;
    if (!e.a.empty() && !e.b.empty()) return line + ": " + e.a + " -> " + e.b;
    if (!e.a.empty() || !e.b.empty()) return line + ": " + e.a + e.b;
    return line;
}

void PrintText(std::ostream& out, const ImageDiff& d) {
    out << PrintableLine(ImageLine("A", d.a)) << '\n' << PrintableLine(ImageLine("B", d.b)) << '\n';
    if (d.Equal()) {
        out << kNoDifferences << '\n';
        return;
    }
    out << kOffsetsNote << '\n';
    for (const DiffSection& s : d.sections) {
        const bool unread = !s.unreadableA.empty() || !s.unreadableB.empty();
        if (!s.Differs() && !unread) continue;
        out << s.title << ":\n";
        if (!s.unreadableA.empty()) out << "  not read in A: " << s.unreadableA << '\n';
        if (!s.unreadableB.empty()) out << "  not read in B: " << s.unreadableB << '\n';
        for (std::size_t i = 0; i < s.entries.size() && i < kShownPerSection; ++i)
            out << PrintableLine(EntryLine(s.entries[i])) << '\n';
        if (s.entries.size() > kShownPerSection)
            out << "  ... and " << s.entries.size() - kShownPerSection << " more (see --json)\n";
    }
}

void Diff(CliContext& ctx, const DiffArgs& a) {
    // An answer that cannot be written is trouble, not "different".
    ctx.cannotWriteStatus = kTrouble;
    int wanted = 0;
    if (!a.type.empty()) {
        wanted = PhoneTypeIndex(a.type);
        if (wanted == 0) UnknownPhoneType(ctx, a.type);
    }
    ImageDiff d;
    std::string pathA, pathB;  // a stand-in for "-"
    try {
        pathA = InputArg(ctx, a.a);
        pathB = InputArg(ctx, a.b);
        d = DiffImageFiles(pathA, pathB, wanted);
    } catch (const std::exception& e) {
        ctx.err << kProgramPrefix << MessageLine(e.what()) << '\n';
        throw CliExit{kTrouble};
    }
    if (!a.recipe.empty()) {
        // Written before anything is printed: a recipe that cannot be made or written is
        // trouble, whatever the comparison found.
        try {
            const std::string text = RecipeText(MakeRecipe(pathA, pathB, wanted));
            WriteFileAtomic(a.recipe, Bytes(text.begin(), text.end()));
        } catch (const std::exception& e) {
            ctx.err << kProgramPrefix << MessageLine(e.what()) << '\n';
            throw CliExit{kTrouble};
        }
    }
    PrintDiff(ctx.out, d, a.json);
    if (!d.Equal()) throw CliExit{kDifferent};
}

}  // namespace

void PrintDiff(std::ostream& out, const ImageDiff& d, bool json) {
    if (json)
        PrintJson(out, d);
    else
        PrintText(out, d);
}

// Comparing two images: what differs, subsystem by subsystem, in the words of the lists.
void DiffCommands(CLI::App& app, CliContext& ctx) {
    Command<DiffArgs> diff(
        ctx, &app, "diff",
        "Compare two images by subsystem (exit status 0 equal, 1 different, 2 trouble)");
    DiffArgs& a = diff.args();
    diff->add_option("A", a.a, "First flash image (*.fls; - reads standard input)")->required();
    diff->add_option("B", a.b, "Second flash image (*.fls; - reads standard input)")->required();
    diff->add_option("--type", a.type,
                     "Phone type (such as 3310 or 62XX/7110) for an image whose detection finds "
                     "none");
    diff->add_flag("--json", a.json, "Print one JSON object");
    diff->add_option("--recipe", a.recipe,
                     "Also write the steps that turn A into B to this recipe file (*.json), for "
                     "apply")
        ->check(NotStdio());
    diff.Runs(Diff);
}

}  // namespace brivant
