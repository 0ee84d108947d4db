#include "support/CommandSequences.h"

#include <array>
#include <optional>

#include "compare/JsonReader.h"
#include "core/HexText.h"

namespace brivant::test {

namespace {

// Families with each kind of layout: short and long menu records, run-length bitmaps, the
// 62XX/7110 tone list, the alert-table prefixes, bitmaps stored at the free offset.
constexpr std::array<const char*, 6> kTypes = {"3310", "62XX/7110", "8210", "61XX", "3210", "2100"};
constexpr std::array<const char*, 8> kAlertKinds = {"standard",  "special",     "beep-once",
                                                    "ascending", "start-shut",  "alarm-clock",
                                                    "calendar",  "system-error"};
constexpr int kMaxSteps = 8;

class Input {
  public:
    Input(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    int Next() { return i_ < n_ ? d_[i_++] : 0; }
    bool Done() const { return i_ >= n_; }

  private:
    const std::uint8_t* d_;
    std::size_t n_, i_ = 0;
};

std::string Id(int v) {
    return IntToHex(static_cast<std::uint32_t>(v), 3);
}

// The text pointer of a root row of the menu, as `menu list` gives it; empty when none.
std::string RootTextPointer(const std::string& image, int row) {
    const CliRun run = Cli({"menu", "list", image, "--json"});
    if (run.status != 0) return {};
    const JsonValue list = ParseJson(run.out);
    const JsonValue* rows = list.Find("rows");
    if (!rows || rows->items.empty()) return {};
    const JsonValue& r = rows->items[static_cast<std::size_t>(row) % rows->items.size()];
    const JsonValue* p = r.Find("textPointer");
    return p ? p->text : std::string{};
}

// The command the three bytes choose, with the files it reads written into `dir` from the
// image `in` (exports of its own tones and bitmaps). Nothing when the image has nothing to
// give for it.
std::optional<CommandStep> Choose(TempDir& dir, const std::string& in, int op, int a, int b,
                                  int k) {
    const std::string file = dir.Path("in" + std::to_string(k));
    switch (op % 17) {
        case 0:
            return CommandStep{"tones delete", {{"row", std::to_string(a % 4)}}, {}};
        case 1:
        case 2: {
            if (Cli({"tones", "export", in, std::to_string(b % 4), file + ".re"}).status != 0)
                return std::nullopt;
            if (op % 17 == 1) return CommandStep{"tones add", {{"in", file + ".re"}}, {}};
            return CommandStep{
                "tones change", {{"row", std::to_string(a % 4)}, {"in", file + ".re"}}, {}};
        }
        case 3: {
            if (Cli({"alert", "export", in, kAlertKinds[static_cast<std::size_t>(b % 8)],
                     file + ".re"})
                    .status != 0)
                return std::nullopt;
            CommandStep s{
                "alert change",
                {{"kind", kAlertKinds[static_cast<std::size_t>(a % 8)]}, {"in", file + ".re"}},
                {}};
            if (b & 0x10) s.options = {{"repeat", std::to_string(1 + b % 5)}};
            return s;
        }
        case 4:
            return CommandStep{"menu delete", {{"row", std::to_string(a % 8)}}, {}};
        case 5: {
            CommandStep s{"menu add", {}, {{"name", "Item" + std::to_string(a % 10)}}};
            if (b & 1) s.options.push_back({"submenu", ""});
            return s;
        }
        case 6:
            return CommandStep{
                "menu move",
                {{"row", std::to_string(a % 8)}, {"direction", b & 1 ? "up" : "down"}},
                {}};
        case 7:
            return CommandStep{"menu edit",
                               {{"row", std::to_string(a % 8)}},
                               {{b & 1 ? "func-id" : "bmp-id", IntToHex(b & 0xFE, 4)}}};
        case 8:
            return CommandStep{"patch leds", {}, {}};
        case 9: {
            CommandStep s{"patch lcd", {}, {}};
            if (b & 1) s.options = {{"blinking", ""}};
            return s;
        }
        case 10:
            return CommandStep{
                "ani set-length", {{"ani", Id(a % 4)}, {"count", std::to_string(1 + b % 6)}}, {}};
        case 11:
            return CommandStep{
                "ani set-frame",
                {{"ani", Id(a % 4)}, {"frame", std::to_string(b % 3)}, {"bmpid", Id(a % 9)}},
                {}};
        case 12:
            if (Cli({"bmp", "export", in, Id(b % 16), file + ".bmp"}).status != 0)
                return std::nullopt;
            return CommandStep{"bmp import", {{"id", Id(a % 16)}, {"in", file + ".bmp"}}, {}};
        case 13:
            return CommandStep{
                "space adjust", {}, {{b & 1 ? "mcu" : "ppm", std::to_string(16 * (1 + a))}}};
        case 14:
            return CommandStep{"lang delete", {{"row", std::to_string(a % 3)}}, {}};
        case 15:
            return CommandStep{"security patch", {}, {{b & 1 ? "whole" : "outbox", ""}}};
        default: {
            const std::string pointer = RootTextPointer(in, a);
            if (pointer.empty()) return std::nullopt;
            CommandStep s{"menu add", {}, {{"text-pointer", pointer}}};
            if (b & 1) s.options.push_back({"submenu", ""});
            return s;
        }
    }
}

}  // namespace

std::vector<std::string> CommandStep::Line(const std::string& in, const std::string& out) const {
    std::vector<std::string> words;
    const std::size_t space = command.find(' ');
    words.push_back(command.substr(0, space));
    words.push_back(command.substr(space + 1));
    for (const auto& [key, value] : options)
        words.push_back(value.empty() ? "--" + key : "--" + key + "=" + value);
    words.push_back("-o");
    words.push_back(out);
    words.push_back("--");
    words.push_back(in);
    for (const auto& p : positionals) words.push_back(p.second);
    return words;
}

RecipeStep CommandStep::Step() const {
    RecipeStep s{command, {}};
    for (const auto& [key, value] : positionals) s.args.emplace_back(key, JsonText(value));
    for (const auto& [key, value] : options)
        s.args.emplace_back(key, value.empty() ? JsonTrue() : JsonText(value));
    return s;
}

std::string CommandStep::Text() const {
    std::string text = command;
    for (const auto& p : positionals) text += " " + p.second;
    for (const auto& [key, value] : options)
        text += " --" + key + (value.empty() ? "" : " " + value);
    return text;
}

std::string CommandSequence::Text() const {
    std::string text = type + ":";
    for (std::size_t i = 0; i < steps.size(); ++i) text += (i ? "; " : " ") + steps[i].Text();
    return text;
}

CommandSequence RunCommandSequence(TempDir& dir, const std::uint8_t* data, std::size_t n) {
    Input input(data, n);
    CommandSequence s;
    s.type = kTypes[static_cast<std::size_t>(input.Next()) % kTypes.size()];
    s.a = dir.Path("a.fls");
    if (Cli({"demo", s.a, "--type", s.type}).status != 0) return s;
    std::string current = s.a;
    const int count = input.Next() % kMaxSteps + 1;
    for (int k = 0; k < count && !input.Done(); ++k) {
        const int op = input.Next(), a = input.Next(), b = input.Next();
        const auto step = Choose(dir, current, op, a, b, k);
        if (!step) continue;
        const std::string out = dir.Path("s" + std::to_string(k) + ".fls");
        if (Cli(step->Line(current, out)).status != 0) continue;
        s.steps.push_back(*step);
        current = out;
    }
    s.b = current;
    return s;
}

Recipe RecipeOf(const CommandSequence& s) {
    Recipe r;
    r.phoneType = s.type;
    for (const CommandStep& step : s.steps) r.steps.push_back(step.Step());
    return r;
}

}  // namespace brivant::test
