#include "web/CommandTableJson.h"

#include <algorithm>
#include <array>
#include <iostream>
#include <string_view>

#include "cli/CliModule.h"
#include "cli/Json.h"

namespace brivant::web {

namespace {

// Positional arguments that name a file the command reads, and the one it writes.
constexpr std::array<std::string_view, 7> kInputs = {"IN", "TEXTS", "OPS",  "RECIPE",
                                                     "A",  "B",     "FIRST"};

std::string Kind(const CLI::Option& o) {
    const std::string name = o.get_name(true);
    if (!o.get_positional()) return o.get_items_expected_max() == 0 ? "flag" : "value";
    if (name == "IMAGE") return "image";
    if (name == "OUT") return "out";
    for (std::string_view in : kInputs)
        if (name == in) return "in";
    return "value";
}

bool Takes(const CLI::App& cmd, const std::string& longName) {
    for (const CLI::Option* o : cmd.get_options()) {
        const auto& l = o->get_lnames();
        if (std::find(l.begin(), l.end(), longName) != l.end()) return true;
    }
    return false;
}

void Command(Json& j, const CLI::App& cmd, const std::string& words) {
    j.BeginObject();
    j.Key("command").String(words);
    j.Key("help").String(cmd.get_description());
    j.Key("saves").Bool(Takes(cmd, "in-place"));
    j.Key("json").Bool(Takes(cmd, "json"));
    j.Key("type").Bool(Takes(cmd, "type"));
    j.Key("args").BeginArray();
    for (const CLI::Option* o : cmd.get_options()) {
        if (!o->get_positional()) continue;
        j.BeginObject();
        j.Key("name").String(o->get_name(true));
        j.Key("help").String(o->get_description());
        j.Key("kind").String(Kind(*o));
        j.Key("required").Bool(o->get_required());
        j.Key("many").Bool(o->get_items_expected_max() > 1);
        j.EndObject();
    }
    j.EndArray();
    j.Key("options").BeginArray();
    for (const CLI::Option* o : cmd.get_options()) {
        if (o->get_positional() || o->get_lnames().empty()) continue;
        j.BeginObject();
        j.Key("name").String(o->get_lnames().front());
        j.Key("help").String(o->get_description());
        j.Key("kind").String(Kind(*o));
        j.Key("required").Bool(o->get_required());
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
}

void Walk(Json& j, const CLI::App& node, const std::string& words) {
    const auto subs = node.get_subcommands([](const CLI::App*) { return true; });
    if (subs.empty()) return Command(j, node, words);
    for (const CLI::App* sub : subs)
        Walk(j, *sub, words.empty() ? sub->get_name() : words + " " + sub->get_name());
}

}  // namespace

std::string CommandTableJson() {
    CommandTable table(std::cin, std::cout, std::cerr);
    Json j;
    j.BeginArray();
    Walk(j, table.app, {});
    j.EndArray();
    return j.Text();
}

}  // namespace brivant::web
