#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

#include "app/ImageReading.h"
#include "cli/CliModule.h"
#include "cli/DiffPrint.h"
#include "cli/Json.h"
#include "cli/Rows.h"
#include "cli/RunCli.h"
#include "compare/ImageDiff.h"
#include "compare/RecipeMaker.h"
#include "compare/ScratchFolder.h"
#include "core/FileIO.h"
#include "image/PhoneTypes.h"

namespace brivant {

namespace {

// The exit statuses of `diff`, as people and scripts know them from diff(1): 0 equal,
// 1 different, 2 trouble.
constexpr int kDifferent = 1;
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

// Recipes tried out on a copy of A, as apply runs them.
class Trial {
  public:
    Trial(const std::string& pathA, const std::string& type)
        : image_(scratch_.Write("a.fls", ReadWholeFile(pathA, HexBuffer::kCannotOpen))),
          type_(type) {}

    // The image the steps make of A; nothing, with the first line apply told, when they fail.
    std::optional<std::string> Run(const std::vector<RecipeStep>& steps, std::string& told) {
        Recipe r;
        r.steps = steps;
        const std::string text = RecipeText(r);
        const std::string recipe = scratch_.Write("recipe.json", Bytes(text.begin(), text.end()));
        std::string made = scratch_.NewPath("c.fls");
        std::vector<std::string> args = {"brivant-cli", "apply", image_, recipe, "-o", made, "-q"};
        if (!type_.empty()) args.insert(args.end(), {"--type", type_});
        std::vector<const char*> argv;
        for (const std::string& word : args) argv.push_back(word.c_str());
        std::istringstream none;
        std::ostringstream out, err;
        if (RunCli(static_cast<int>(argv.size()), argv.data(), none, out, err) == 0) return made;
        told = err.str().substr(0, err.str().find('\n'));
        return std::nullopt;
    }
    const std::string& Image() const { return image_; }

  private:
    ScratchFolder scratch_;
    std::string image_;
    std::string type_;
};

// What the image the steps made still differs in from B, in the words of the recipe's list.
std::vector<std::string> Unsaid(const std::string& made, const std::string& pathB, int wanted) {
    std::vector<std::string> unsaid;
    const ImageDiff d = DiffImageFiles(made, pathB, wanted);
    if (d.Equal()) return unsaid;
    // Checksums and free space follow from the other differences: listed only when they are
    // all there is.
    const auto keys = d.DifferingKeys();
    const bool followers = std::all_of(keys.begin(), keys.end(), [](const std::string& k) {
        return k == "checksums" || k == "freeSpace";
    });
    for (const DiffSection& section : d.sections) {
        if (section.key == kUnexplainedKey) continue;
        if (!followers && (section.key == "checksums" || section.key == "freeSpace")) continue;
        if (section.unreadableA != section.unreadableB)
            unsaid.push_back(section.title + ": not read the same way after the steps and in B");
        for (const DiffEntry& e : section.entries)
            unsaid.push_back(section.title + ": after the steps, " + e.change + " " + e.item);
    }
    // In the words the comparison lists them, so a run it listed already is not told twice.
    for (const ByteRun& r : d.unexplained)
        unsaid.push_back("Other bytes: " + diff::OffsetText(r.offset) + ", " +
                         std::to_string(r.length) + " bytes");
    return unsaid;
}

std::string ArgText(const RecipeStep& s, const std::string& key) {
    for (const auto& [k, v] : s.args)
        if (k == key) return v.text;
    return {};
}

// The steps that must stay together, and in their order, whatever comes between: the
// menu's, one alert tone's, one bitmap's, one animation's, one patch's. Empty: the steps
// that come first (the areas' sizes and the PPM chunks, which take no MCU free space).
std::string GroupOf(const RecipeStep& s) {
    const std::string group = s.command.substr(0, s.command.find(' '));
    if (group == "menu" || s.command == "security patch") return "menu";
    if (s.command == "alert change") return "alert " + ArgText(s, "kind");
    if (s.command == "bmp import") return "bmp " + ArgText(s, "id");
    if (group == "ani") return "ani " + ArgText(s, "ani");
    if (group == "patch") return s.command;
    return {};
}

// Where the first bytes a group writes into A's free space lie in B: the place among the
// bytes B wrote there that holds most of them (data that names addresses differs where it
// lies elsewhere, so the likeness is counted, not required whole); nothing when the group
// writes none there or B holds nothing like them.
std::optional<std::size_t> PlaceInB(const Bytes& a, const Bytes& made, const Bytes& b) {
    constexpr std::size_t kFree = 16;    // FF bytes in a row that count as free space
    constexpr std::size_t kLooked = 32;  // the bytes looked for in B
    constexpr std::size_t kReach = 0x20000;
    if (made.size() != a.size() || b.size() != a.size()) return std::nullopt;
    for (std::size_t i = 0; i + kFree <= a.size(); ++i) {
        if (made[i] == a[i] || a[i] != 0xFF) continue;
        if (!std::all_of(a.begin() + static_cast<std::ptrdiff_t>(i),
                         a.begin() + static_cast<std::ptrdiff_t>(i + kFree),
                         [](std::uint8_t x) { return x == 0xFF; }))
            continue;
        std::size_t n = 0;
        while (i + n < a.size() && n < kLooked && made[i + n] != a[i + n]) ++n;
        std::optional<std::size_t> best;
        std::size_t bestAlike = n / 2;  // at least half of them
        for (std::size_t at = i; at + n <= b.size() && at < i + kReach; ++at) {
            if (b[at] == a[at]) continue;
            std::size_t alike = 0;
            for (std::size_t k = 0; k < n; ++k) alike += b[at + k] == made[i + k] ? 1 : 0;
            if (alike > bestAlike) {
                best = at;
                bestAlike = alike;
            }
        }
        return best;
    }
    return std::nullopt;
}

// The steps with their groups in the order B holds what they wrote into the MCU free space
// (every write there goes to its start, so the order of the writes is the order of the
// data); groups that write nothing there keep their order, behind. Nothing when there is
// no other order to try.
std::optional<std::vector<RecipeStep>> InBOrder(Trial& trial, const Recipe& recipe,
                                                const std::string& pathB) {
    std::vector<RecipeStep> first;
    std::vector<std::pair<std::string, std::vector<RecipeStep>>> groups;
    for (const RecipeStep& s : recipe.steps) {
        const std::string g = GroupOf(s);
        if (g.empty()) {
            first.push_back(s);
            continue;
        }
        auto it =
            std::find_if(groups.begin(), groups.end(), [&](const auto& x) { return x.first == g; });
        if (it == groups.end()) it = groups.emplace(groups.end(), g, std::vector<RecipeStep>{});
        it->second.push_back(s);
    }
    if (groups.size() < 2) return std::nullopt;
    const Bytes a = ReadWholeFile(trial.Image(), HexBuffer::kCannotOpen);
    const Bytes b = ReadWholeFile(pathB, HexBuffer::kCannotOpen);
    std::vector<std::pair<std::size_t, std::size_t>> order;  // place in B, group
    for (std::size_t k = 0; k < groups.size(); ++k) {
        std::vector<RecipeStep> alone = first;
        alone.insert(alone.end(), groups[k].second.begin(), groups[k].second.end());
        std::string told;
        const auto made = trial.Run(alone, told);
        std::optional<std::size_t> place;
        if (made) place = PlaceInB(a, ReadWholeFile(*made, HexBuffer::kCannotOpen), b);
        order.emplace_back(place.value_or(b.size()), k);
    }
    std::stable_sort(order.begin(), order.end());
    std::vector<RecipeStep> steps = first;
    for (const auto& [place, k] : order)
        steps.insert(steps.end(), groups[k].second.begin(), groups[k].second.end());
    return steps;
}

// The security patch made after menu edits guards the item where the edits left it, which a
// patch of A alone cannot find: the steps then say its changes to the records as edits of
// Func Pointers and Func IDs, and lose its redirect block. The same steps with the patch
// made after the last menu step or before one of them, one way for each item it can guard:
// first with those edits left out, then (for edits of those fields made after the patch)
// with them kept.
std::vector<std::vector<RecipeStep>> PatchedAmongMenuSteps(const std::vector<RecipeStep>& steps) {
    std::vector<std::vector<RecipeStep>> ways;
    for (const bool dropEdits : {true, false}) {
        std::vector<RecipeStep> kept;
        std::vector<std::size_t> places;  // where the patch may go: before a menu step, or last
        for (const RecipeStep& s : steps) {
            if (s.command == "security patch") return ways;
            bool onlyFunc = s.command == "menu edit";
            for (const auto& [key, value] : s.args)
                onlyFunc = onlyFunc && (key == "row" || key == "path" || key == "func-pointer" ||
                                        key == "func-id");
            if (onlyFunc && dropEdits) continue;
            if (s.command.rfind("menu ", 0) == 0) places.push_back(kept.size());
            kept.push_back(s);
        }
        places.push_back(kept.size());
        for (auto place = places.rbegin(); place != places.rend(); ++place)
            for (const char* item : {"whole", "inbox", "outbox"}) {
                ways.push_back(kept);
                ways.back().insert(ways.back().begin() + static_cast<std::ptrdiff_t>(*place),
                                   RecipeStep{"security patch", {{item, JsonTrue()}}});
            }
    }
    return ways;
}

// The recipe tried out: its steps run on a copy of A as apply runs them, and whatever the
// result still differs in from B is listed as not expressed. A recipe whose list is empty
// then gives B's very bytes, and no difference the steps miss goes unsaid. When the steps as
// made do not give B, other orders of the same changes are tried (see InBOrder and
// PatchedAmongMenuSteps), and the closest is kept.
void Confirm(const std::string& pathA, const std::string& pathB, const std::string& type,
             int wanted, Recipe& recipe, bool securityPatched) {
    if (recipe.steps.empty()) return;
    Trial trial(pathA, type);
    std::string told;
    std::optional<std::vector<std::string>> best;
    const auto tryOut = [&](const std::vector<RecipeStep>& steps) {
        std::string failed;
        const auto made = trial.Run(steps, failed);
        if (!made) {
            if (!best && told.empty()) told = failed;
            return false;
        }
        std::vector<std::string> unsaid = Unsaid(*made, pathB, wanted);
        if (!best || unsaid.size() < best->size()) {
            best = std::move(unsaid);
            recipe.steps = steps;
            told.clear();
        }
        return best->empty();
    };
    const std::vector<RecipeStep> made = recipe.steps;
    if (!tryOut(made)) {
        std::vector<std::vector<RecipeStep>> ways;
        const auto ordered = InBOrder(trial, recipe, pathB);
        if (ordered) ways.push_back(*ordered);
        if (securityPatched)
            for (auto& way : PatchedAmongMenuSteps(ordered.value_or(made)))
                ways.push_back(std::move(way));
        for (const auto& way : ways)
            if (tryOut(way)) break;
    }
    // Steps that give B's very bytes say everything, whatever the comparison could not
    // put into steps of its own.
    if (best && best->empty()) recipe.notExpressed.clear();
    std::vector<std::string> unsaid = best.value_or(std::vector<std::string>{});
    if (!told.empty()) unsaid.push_back("The steps do not run on A: " + MessageLine(told));
    std::set<std::string> listed(recipe.notExpressed.begin(), recipe.notExpressed.end());
    for (const std::string& what : unsaid)
        if (listed.insert(what).second) recipe.notExpressed.push_back(what);
}

void Diff(CliContext& ctx, const DiffArgs& a) {
    // An answer that cannot be written is trouble, not "different".
    ctx.cannotWriteStatus = kTroubleStatus;
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
        throw CliExit{kTroubleStatus};
    }
    if (!a.recipe.empty()) {
        // Written before anything is printed: a recipe that cannot be made or written is
        // trouble, whatever the comparison found.
        try {
            Recipe recipe = MakeRecipe(pathA, pathB, wanted);
            const DiffSection* menu = d.Section("menu");
            const bool securityPatched =
                menu &&
                std::any_of(menu->entries.begin(), menu->entries.end(), [](const DiffEntry& e) {
                    return e.item.rfind("security redirect block", 0) == 0;
                });
            Confirm(pathA, pathB, a.type, wanted, recipe, securityPatched);
            const std::string text = RecipeText(recipe);
            WriteFileAtomic(a.recipe, Bytes(text.begin(), text.end()));
        } catch (const std::exception& e) {
            ctx.err << kProgramPrefix << MessageLine(e.what()) << '\n';
            throw CliExit{kTroubleStatus};
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
