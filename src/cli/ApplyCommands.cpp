#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <sstream>

#include "cli/CliModule.h"
#include "cli/DiffPrint.h"
#include "cli/Json.h"
#include "compare/ImageDiff.h"
#include "compare/Recipe.h"
#include "compare/ScratchFolder.h"
#include "core/FileIO.h"
#include "core/UserError.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"

namespace brivant {

namespace {

constexpr const char* kImageNotStdin =
    "apply reads IMAGE more than once: it cannot be standard input";

namespace fs = std::filesystem;

// The commands a step may run: every command that edits an image, and nothing that only
// reads or writes other files.
const std::set<std::string>& StepCommands() {
    static const std::set<std::string> commands = {
        "tones change",  "tones add",      "tones delete", "alert change",   "lang edit",
        "lang add",      "lang delete",    "ops edit",     "ops new",        "ops add",
        "ops delete",    "chunk import",   "space adjust", "patch leds",     "patch lcd",
        "ani set-frame", "ani set-length", "bmp import",   "bmp import-all", "menu move",
        "menu delete",   "menu edit",      "menu add",     "security patch"};
    return commands;
}

// Arguments a step cannot give: the image, where it goes and how it is read belong to the
// whole recipe.
const std::set<std::string>& RecipeOwned() {
    static const std::set<std::string> owned = {"image", "output", "in-place", "no-checksum",
                                                "type",  "json",   "help"};
    return owned;
}

// The arguments that name a file the step reads: a relative path is taken from the recipe's
// folder.
const std::set<std::string>& FileArgs() {
    static const std::set<std::string> files = {"in", "texts", "ops", "first"};
    return files;
}

constexpr const char* kUnknownCommand = "\"%s\" is not a command a recipe step can run";
constexpr const char* kUnknownArg = "%s takes no argument \"%s\"";
constexpr const char* kOwnedArg = "\"%s\" is given to apply, not to a step";
constexpr const char* kBadValue = "the value of \"%s\" must be %s";
constexpr const char* kBadEmbedded =
    "\"%s\": an embedded file is {\"base64\": \"...\"} with an optional \"name\"";
constexpr const char* kOtherType =
    "the recipe is for phone type %s and this image is %s; nothing was changed (give --type "
    "to apply it anyway)";
constexpr const char* kPartial =
    "the recipe lists %s differences its steps do not express (\"notExpressed\"); nothing was "
    "changed (--partial applies the steps anyway)";
constexpr const char* kApplied = "%s steps applied, written to %s";
constexpr const char* kNoRecipeFolder =
    "Cannot tell which folder the recipe %s lies in (%s): the files it names are found there";

struct ApplyArgs : ImageOptions {
    std::string recipe;
    bool dryRun = false;
    bool partial = false;
};

// Lines told while a step ran, each given again under the step's name.
void Retell(std::ostream& err, const std::string& told, const std::string& step) {
    std::istringstream lines(told);
    std::string line;
    const std::string prefix = kProgramPrefix;
    while (std::getline(lines, line)) {
        if (line.rfind(prefix, 0) == 0) line.erase(0, prefix.size());
        err << prefix << step << ": " << line << '\n';
    }
}

// Recipe text in a message: control characters would break the one-line messages.
std::string Shown(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return text;
}

std::string StepName(std::size_t index, const std::string& label) {
    return "step " + std::to_string(index + 1) + " (" + Shown(label) + ")";
}

// One step made ready: its own parser with the arguments parsed, the action parsing chose,
// and how messages name it.
struct Step {
    std::ostringstream out, err;
    std::unique_ptr<CliContext> ctx;
    std::unique_ptr<CLI::App> app;
    std::string name;
};

[[noreturn]] void StepFails(CliContext& ctx, const std::string& name, const std::string& what) {
    ctx.err << kProgramPrefix << name << ": " << what << '\n';
    throw CliExit{1};
}

// The value of one argument as command-line words (a false flag gives none).
std::vector<std::string> Words(const std::string& key, const JsonValue& v, bool file,
                               const fs::path& recipeDir, ScratchFolder& scratch,
                               const std::function<void(const std::string&)>& fail) {
    switch (v.kind) {
        case JsonValue::Kind::String:
            if (file && !v.text.empty() && fs::path(v.text).is_relative())
                return {(recipeDir / v.text).string()};
            return {v.text};
        case JsonValue::Kind::Number:
            if (!v.Integer()) fail(Format(kBadValue, {key, "a whole number"}));
            return {v.text};
        case JsonValue::Kind::Bool:
            return v.boolean ? std::vector<std::string>{""} : std::vector<std::string>{};
        case JsonValue::Kind::Object: {
            const JsonValue* data = v.Find("base64");
            const JsonValue* name = v.Find("name");
            const bool shaped = data && data->Is(JsonValue::Kind::String) &&
                                (!name || name->Is(JsonValue::Kind::String)) &&
                                v.members.size() == (name ? 2u : 1u);
            if (!shaped) fail(Format(kBadEmbedded, {key}));
            const auto bytes = Base64Decode(data->text);
            if (!bytes) fail(Format(kBadValue, {key, "base64 text"}));
            return {scratch.Write(name ? name->text : key, *bytes)};
        }
        case JsonValue::Kind::Array: {
            std::vector<std::string> words;
            for (const JsonValue& item : v.items) {
                if (!item.Is(JsonValue::Kind::String) && !item.Is(JsonValue::Kind::Number))
                    fail(Format(kBadValue, {key, "a list of texts"}));
                auto w = Words(key, item, file, recipeDir, scratch, fail);
                words.insert(words.end(), w.begin(), w.end());
            }
            return words;
        }
        case JsonValue::Kind::Null:
            break;
    }
    fail(Format(kBadValue, {key, "a text, a number, true or false"}));
    return {};
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Turns a recipe step into the command line the user would have typed and parses it with
// the command's own parser: the same arguments, the same checks.
std::unique_ptr<Step> Prepare(CliContext& ctx, const RecipeStep& rs, std::size_t index,
                              const std::string& image, const fs::path& recipeDir,
                              ScratchFolder& scratch) {
    auto step = std::make_unique<Step>();
    std::string label = rs.command;
    const auto fail = [&](const std::string& what) {
        StepFails(ctx, StepName(index, label), what);
    };
    if (!StepCommands().count(rs.command)) fail(Format(kUnknownCommand, {Shown(rs.command)}));
    const std::size_t space = rs.command.find(' ');
    const std::string group = rs.command.substr(0, space);
    const std::string name = rs.command.substr(space + 1);

    step->ctx = std::make_unique<CliContext>(
        CliContext{step->out, step->err, {}, nullptr, false, nullptr, false, 1, false});
    step->app = std::make_unique<CLI::App>("", "brivant-cli");
    step->app->require_subcommand(1);
    RegisterModules(*step->app, *step->ctx, group);
    CLI::App* cmd = step->app->get_subcommand(group)->get_subcommand(name);

    // The step's arguments, matched to the command's: a positional by its name in lower case
    // ("row", "in"), an option by its long name ("text-pointer").
    struct Given {
        const CLI::Option* option;
        std::string key;
        std::vector<std::string> words;
    };
    std::vector<Given> given;
    for (const auto& [key, value] : rs.args) {
        if (RecipeOwned().count(key)) fail(Format(kOwnedArg, {Shown(key)}));
        const CLI::Option* match = nullptr;
        for (const CLI::Option* o : cmd->get_options()) {
            const auto& longs = o->get_lnames();
            if (o->get_positional() ? Lower(o->get_name(true)) == key
                                    : std::find(longs.begin(), longs.end(), key) != longs.end())
                match = o;
        }
        if (!match || Lower(match->get_name(true)) == "image")
            fail(Format(kUnknownArg, {rs.command, Shown(key)}));
        const bool flag = match->get_items_expected_max() == 0;
        if (flag != value.Is(JsonValue::Kind::Bool))
            fail(Format(kBadValue, {key, flag ? "true or false" : "a text or a number"}));
        const bool file = match->get_positional() && FileArgs().count(key);
        given.push_back({match, key, Words(key, value, file, recipeDir, scratch, fail)});
        // The label names the step as its command line would, files as the recipe names them.
        if (match->get_positional()) {
            const JsonValue* n = value.Find("name");
            if (value.Is(JsonValue::Kind::Object))
                label += " " + (n ? n->text : std::string("(embedded)"));
            else if (!value.Is(JsonValue::Kind::Array))
                label += " " + value.text;
        }
    }
    // Options first, each value glued to its name so a value starting with "-" stays a value;
    // then the positionals in the command's order behind "--".
    std::vector<std::string> argv = {"brivant-cli", group, name};
    for (const Given& g : given) {
        if (g.option->get_positional()) continue;
        if (g.option->get_items_expected_max() == 0) {
            if (!g.words.empty()) argv.push_back("--" + g.key);
        } else if (g.words.size() == 1) {
            argv.push_back("--" + g.key + "=" + g.words[0]);
        } else {
            argv.push_back("--" + g.key);
            argv.insert(argv.end(), g.words.begin(), g.words.end());
        }
    }
    argv.push_back("--");
    for (const CLI::Option* o : cmd->get_options()) {
        if (!o->get_positional()) continue;
        if (Lower(o->get_name(true)) == "image") argv.push_back(image);
        for (const Given& g : given)
            if (g.option == o) argv.insert(argv.end(), g.words.begin(), g.words.end());
    }
    step->name = StepName(index, label);
    std::vector<const char*> raw;
    for (const std::string& a : argv) raw.push_back(a.c_str());
    try {
        step->app->parse(static_cast<int>(raw.size()), raw.data());
    } catch (const CLI::ParseError& e) {
        StepFails(ctx, step->name, MessageLine(e.what()));
    }
    if (!step->ctx->action) StepFails(ctx, step->name, "nothing to run");
    return step;
}

// Runs one prepared step on the open image; a failure is told under the step's name.
void Run(CliContext& ctx, CliSession& s, std::ostringstream& told, Step& step) {
    s.ui.openFiles.clear();
    s.ui.saveFiles.clear();
    s.ui.texts.clear();
    s.ui.dialogs = DialogAnswers{};
    step.ctx->open = &s;
    bool failed = false;
    try {
        step.ctx->action();
    } catch (const CliExit& e) {
        failed = e.status != 0;
    } catch (const UserError& e) {
        told << kProgramPrefix << MessageLine(e.what()) << '\n';
        failed = true;
    }
    step.ctx->open = nullptr;
    const std::string text = told.str() + step.err.str();
    told.str({});
    if (failed) {
        Retell(ctx.err, text.empty() ? std::string("failed\n") : text, step.name);
        throw CliExit{1};
    }
    Retell(ctx.err, text, step.name);
}

std::string ReadRecipe(CliContext& ctx, const std::string& path) {
    try {
        const Bytes bytes = ReadWholeFile(InputArg(ctx, path), HexBuffer::kCannotOpen);
        return std::string(bytes.begin(), bytes.end());
    } catch (const UserError& e) {
        ctx.err << kProgramPrefix << MessageLine(e.what()) << '\n';
        throw CliExit{1};
    }
}

void Apply(CliContext& ctx, const ApplyArgs& a) {
    // The steps and the dry run read IMAGE by name more than once.
    if (StandIns::IsStdio(a.image)) UsageError(ctx, kImageNotStdin);
    Recipe recipe;
    try {
        recipe = ParseRecipe(ReadRecipe(ctx, a.recipe));
    } catch (const UserError& e) {
        ctx.err << kProgramPrefix << a.recipe << ": " << MessageLine(e.what()) << '\n';
        throw CliExit{1};
    }
    if (!a.dryRun && a.out.empty() && !a.inPlace)
        UsageError(ctx, "apply changes the image: give -o OUT.fls, --in-place or --dry-run");
    if (!recipe.notExpressed.empty() && !a.partial) {
        ctx.err << kProgramPrefix << Format(kPartial, {std::to_string(recipe.notExpressed.size())})
                << '\n';
        throw CliExit{1};
    }

    // Every step is made ready before the image is touched: a step the command line does
    // not know, or arguments its command refuses, end the run with nothing done.
    ScratchFolder scratch;
    std::error_code cwd;
    const fs::path recipeDir = fs::absolute(fs::path(a.recipe), cwd).parent_path();
    if (cwd) {
        ctx.err << kProgramPrefix
                << Format(kNoRecipeFolder, {a.recipe, SystemErrorText(cwd.value())}) << '\n';
        throw CliExit{1};
    }
    std::vector<std::unique_ptr<Step>> steps;
    // A step's IMAGE only has to pass its parser's check: the step runs on the image apply
    // opened. Standard input is read once, by apply, so a step is shown the recipe instead.
    const std::string stepImage = a.image == "-" ? a.recipe : a.image;
    for (std::size_t i = 0; i < recipe.steps.size(); ++i)
        steps.push_back(Prepare(ctx, recipe.steps[i], i, stepImage, recipeDir, scratch));

    // What the steps tell goes through here, so each message can name its step.
    std::ostringstream told, ignored;
    CliContext sessionCtx{ignored, told,  {}, ctx.standIns,      ctx.quiet,
                          nullptr, false, 1,  ctx.stdoutTerminal};
    // The dry run saves as -o would, every check of the save included, to a scratch file.
    ApplyArgs options = a;
    if (a.dryRun) {
        options.out = scratch.NewPath("after-recipe.fls");
        options.inPlace = false;
    }
    CliSession s(sessionCtx, options);
    // Messages of the open and the save are not a step's.
    const auto plain = [&] {
        std::string text = told.str();
        told.str({});
        ctx.err << text;
    };
    try {
        s.RequireOutput();
        s.Open();
        s.RequireChecksumRepair();
    } catch (const CliExit&) {
        plain();
        throw;
    }
    plain();
    if (!recipe.phoneType.empty() && a.type.empty() && s.ed.PhoneTypeText() != recipe.phoneType) {
        ctx.err << kProgramPrefix
                << Format(kOtherType,
                          {recipe.phoneType, s.ed.PhoneType() == 0 ? std::string("of no known type")
                                                                   : s.ed.PhoneTypeText()})
                << '\n';
        throw CliExit{1};
    }
    for (std::size_t i = 0; i < steps.size(); ++i) {
        // Each step finds the image as its command would after the steps before were saved
        // and the file opened again: the lists read afresh, the free space found anew.
        if (i > 0) {
            try {
                s.Reopen();
            } catch (const CliExit&) {
                Retell(ctx.err, told.str(), steps[i]->name);
                throw;
            }
            told.str({});
        }
        Run(ctx, s, told, *steps[i]);
    }

    // The scratch folder goes before anything is told or written: a run that leaves files
    // behind it fails with nothing changed, rather than succeed with a folder to clean up.
    const auto removeScratch = [&] {
        try {
            scratch.Remove();
        } catch (const UserError& e) {
            ctx.err << kProgramPrefix << MessageLine(e.what()) << '\n';
            throw CliExit{1};
        }
    };
    if (!a.dryRun) removeScratch();
    try {
        s.Save();
    } catch (const CliExit&) {
        plain();
        throw;
    }
    told.str({});
    if (a.dryRun) {
        ImageDiff d = DiffImageFiles(a.image, options.out, s.ed.PhoneType());
        d.b.file = "(" + a.image + " after the recipe)";
        removeScratch();
        PrintDiff(ctx.out, d, a.json);
        return;
    }
    // The image itself goes to standard output: nothing else may.
    if (StandIns::IsStdio(a.out)) return;
    const std::string target = a.inPlace ? a.image : a.out;
    if (a.json) {
        Json j;
        j.BeginObject().Key("steps").Number(static_cast<std::int64_t>(steps.size()));
        j.Key("output").String(target).EndObject();
        ctx.out << j.Text() << '\n';
    } else if (!ctx.quiet) {
        ctx.err << kProgramPrefix << Format(kApplied, {std::to_string(steps.size()), target})
                << '\n';
    }
}

}  // namespace

// Recipes: many edits run on one image as one change.
void ApplyCommands(CLI::App& app, CliContext& ctx) {
    Command<ApplyArgs> apply(ctx, &app, "apply",
                             "Run the steps of a recipe (*.json) on an image as one change: "
                             "saved once, or not at all when a step fails");
    ApplyArgs& a = apply.args();
    apply.Image();
    apply->add_option("RECIPE", a.recipe, "Recipe file (*.json; - reads standard input)")
        ->required();
    apply->add_flag("--dry-run", a.dryRun,
                    "Run the steps and print what would change; write nothing");
    apply->add_flag("--partial", a.partial,
                    "Apply a recipe whose \"notExpressed\" lists differences its steps leave out");
    apply.TypeOption().JsonFlag().Output();
    apply.Runs(Apply);
}

}  // namespace brivant
