// The menu tree: every level reached from the root, each listed as the Menu tab lists it.
#include <map>
#include <string>
#include <vector>

#include "check/CheckParts.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "menu/MenuTab.h"

namespace brivant::check {

namespace {

// A damaged tree may name levels without end; past this many the walk stops.
constexpr std::size_t kMaxLevels = 4096;
constexpr const char* kNoRoot = "The menu root was not found: %s";
constexpr const char* kCycle =
    "Item %s of menu level %s opens the level at %s, which is already on its path (a cycle)";
constexpr const char* kNotListed = "Menu level %s (descriptor at %s) cannot be listed: %s";
constexpr const char* kTooMany = "The menu tree has more than %s levels; the rest were not read";

struct Visit {
    std::int64_t at;
    std::string path;
    std::vector<std::string> records;
    std::size_t next = 0;
};

std::string LevelName(const std::string& path) {
    return path.empty() ? "root" : path;
}

}  // namespace

void CheckMenu(Checker& c) {
    c.Begin("menu");
    Editor& ed = c.ed();
    if (ed.Is62xx()) {
        c.Summary("no menu tree in this family");
        return;
    }
    std::string error =
        diff::Attempt(c.side(), [&] { ShowMenuTab(ed, ed.menu, ed.texts, c.side().ui); });
    if (error.empty() && ed.menu.tab.stack.Empty()) error = "no root descriptor";
    if (!error.empty()) {
        c.Problem(Format(kNoRoot, {error}));
        return;
    }
    const int size = MenuRecordSize(ed.PhoneType());
    // Every level is listed in the first language, as the Menu tab lists it. Its texts are
    // read once for the whole walk: reading them is what listing a level costs most, and
    // they are the same for every level. When they cannot be read, no level can be listed,
    // and each says why.
    const bool listable = ed.texts.languageKeys.size() >= 2;
    std::vector<std::string> texts;
    const std::string textsError =
        listable ? diff::Attempt(c.side(), [&] { texts = MenuLanguageTexts(ed, ed.texts, 1); })
                 : std::string();
    enum Color { kOnPath = 1, kDone = 2 };
    std::map<std::int64_t, int> color;
    std::size_t levels = 0, items = 0;
    std::vector<Visit> stack;

    // Reads a level's descriptor and records; false when they cannot be read.
    auto enter = [&](std::int64_t at, const std::string& path) {
        color[at] = kOnPath;
        ++levels;
        const std::string name = "menu level " + LevelName(path);
        Visit v{at, path, {}, 0};
        if (!c.RequireMcu(name + " (its descriptor)", at, kDescriptorSize)) {
            stack.push_back(std::move(v));
            return;
        }
        const std::string descriptor =
            BytesToHex(c.Image().data() + at, static_cast<std::size_t>(kDescriptorSize));
        c.Claim(at, kDescriptorSize, "menu descriptor", name + "'s descriptor");
        const std::int64_t array = ToImageOffset(ItemsPointerOf(descriptor));
        const std::int64_t n = std::int64_t{ItemCountOf(descriptor)} + 1;
        if (c.RequireMcu(name + "'s items", array, n * size)) {
            c.Claim(array, n * size, "menu items", name + "'s items");
            for (std::int64_t i = 0; i < n; ++i)
                v.records.push_back(BytesToHex(c.Image().data() + array + i * size,
                                               static_cast<std::size_t>(size)));
            items += v.records.size();
            if (listable) {
                const MenuLevel level{descriptor, static_cast<std::int32_t>(at)};
                const std::string e =
                    !textsError.empty() ? textsError : diff::Attempt(c.side(), [&] {
                        (void)ReadMenuLevel(ed, level, texts, ed.texts.CommTextCount);
                    });
                if (!e.empty())
                    c.Problem(Format(kNotListed, {LevelName(path), diff::OffsetText(at), e}));
            }
        }
        stack.push_back(std::move(v));
    };

    enter(ed.menu.tab.stack.levels[0].offset, "");
    while (!stack.empty()) {
        Visit& v = stack.back();
        if (v.next >= v.records.size()) {
            color[v.at] = kDone;
            stack.pop_back();
            continue;
        }
        const std::size_t i = v.next++;
        const std::string& r = v.records[i];
        if (!IsSubMenuRecord(r)) continue;
        const std::int64_t sub = ToImageOffset(FuncPointerValue(r));
        if (IsShortRecord(r) && sub < 1) continue;
        const std::string path = v.path + (v.path.empty() ? "" : "/") + std::to_string(i);
        const auto seen = color.find(sub);
        if (seen != color.end()) {
            if (seen->second == kOnPath)
                c.Problem(
                    Format(kCycle, {std::to_string(i), LevelName(v.path), diff::OffsetText(sub)}));
            continue;
        }
        if (levels >= kMaxLevels) {
            c.Problem(Format(kTooMany, {std::to_string(kMaxLevels)}));
            break;
        }
        enter(sub, path);
    }
    c.Summary(std::to_string(levels) + " levels, " + std::to_string(items) + " records");
}

}  // namespace brivant::check
