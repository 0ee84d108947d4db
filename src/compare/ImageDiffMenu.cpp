// The menu tree: every level reachable from the root, compared item by item.
#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "compare/ImageDiffParts.h"
#include "image/Address.h"
#include "menu/MenuEdit.h"
#include "menu/MenuFields.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "menu/MenuTab.h"
#include "menu/SecurityPatch.h"
#include "menu/SecurityPatterns.h"
#include "menu/SecurityState.h"

namespace brivant::diff {

namespace {

// A tree whose submenus point back at their parents still ends; so does a damaged one.
constexpr std::size_t kMaxLevels = 4096;
constexpr const char* kRootName = "Menu";
constexpr const char* kSecurityPatched = "patched by the security patch";

struct Level {
    std::string descriptor;
    std::int64_t items = -1;  // offset of the item array
    std::vector<std::string> records;
    std::int64_t parent = -1;  // the level whose record opens this one
    int parentRecord = -1;
};

// Keyed by the descriptor's offset: adding items moves a level's array, never its descriptor.
using Tree = std::map<std::int64_t, Level>;

Tree Walk(const Side& s, std::int64_t root) {
    Tree tree;
    tree[root] = {};
    std::deque<std::int64_t> queue{root};
    const int size = MenuRecordSize(s.ed.PhoneType());
    while (!queue.empty()) {
        const std::int64_t at = queue.front();
        queue.pop_front();
        Level& level = tree[at];
        const auto descriptor = s.Read(at, kDescriptorSize);
        if (!descriptor) continue;
        level.descriptor = BytesToHex(*descriptor);
        level.items = ToImageOffset(ItemsPointerOf(level.descriptor));
        const int count = ItemCountOf(level.descriptor);
        for (int i = 0; i <= count; ++i) {
            const auto record = s.Read(level.items + std::int64_t{i} * size, size);
            if (!record) break;
            level.records.push_back(BytesToHex(*record));
        }
        for (std::size_t i = 0; i < level.records.size(); ++i) {
            const std::string& r = level.records[i];
            if (!IsSubMenuRecord(r)) continue;
            const std::int64_t sub = ToImageOffset(FuncPointerValue(r));
            if ((IsShortRecord(r) && sub < 1) || tree.count(sub) || tree.size() >= kMaxLevels)
                continue;
            tree[sub] = {{}, -1, {}, at, static_cast<int>(i)};
            queue.push_back(sub);
        }
    }
    return tree;
}

// Names the levels and items of one side as the Menu tab lists them for the first language;
// only the levels a difference is found in are listed.
class Namer {
  public:
    Namer(Side& s, const Tree& t) : side_(s), tree_(t) {}

    std::string Item(std::int64_t level, int record) {
        const auto& names = Names(level);
        const auto it = names.find(record);
        return it != names.end() ? Quoted(it->second) : "record " + std::to_string(record);
    }
    std::string Path(std::int64_t level) {
        const auto it = tree_.find(level);
        if (it == tree_.end() || it->second.parent < 0) return kRootName;
        return Path(it->second.parent) + " > " + Item(it->second.parent, it->second.parentRecord);
    }

  private:
    const std::map<int, std::string>& Names(std::int64_t level) {
        auto [it, fresh] = cache_.try_emplace(level);
        const auto l = tree_.find(level);
        if (!fresh || l == tree_.end() || side_.ed.texts.languageKeys.size() < 2) return it->second;
        MenuState& m = side_.ed.menu;
        m.tab.stack.levels = {MenuLevel{l->second.descriptor, static_cast<std::int32_t>(level)}};
        m.tab.stack.current = 0;
        m.tab.rows.clear();
        m.language = 1;
        Attempt(side_, [&] { ListMenuLevel(side_.ed, m, side_.ed.texts, side_.ui); });
        for (const MenuRow& r : m.tab.rows) it->second[r.recordIndex] = r.name;
        return it->second;
    }

    Side& side_;
    const Tree& tree_;
    std::map<std::int64_t, std::map<int, std::string>> cache_;
};

std::string FieldName(int f) {
    std::string name = kMenuFieldLabels[static_cast<std::size_t>(f)];
    if (!name.empty() && name.back() == ':') name.pop_back();
    if (f == static_cast<int>(MenuField::Unknown1)) name += " (first)";
    if (f == static_cast<int>(MenuField::Unknown2)) name += " (second)";
    return name;
}

// The inline text an item's Text Pointer names (04 FF, the units, 00 00), when it is one.
void ExplainInlineText(Pair& p, const Side& s, const std::string& record) {
    const std::int64_t q =
        ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(TextPointerOf(record))));
    const auto mark = s.Read(q + 1, 1);
    if (q < 1 || !mark || (*mark)[0] != 0xFF) return;
    const Bytes& m = s.Image();
    for (std::int64_t i = q + 2; i + 1 < static_cast<std::int64_t>(m.size()); ++i)
        if (m[static_cast<std::size_t>(i)] == 0 && m[static_cast<std::size_t>(i) + 1] == 0)
            return p.Explain(q, i + 2 - q);
}

void ExplainLevel(Pair& p, std::int64_t at, const Level& l) {
    p.Explain(at, kDescriptorSize);
    if (!l.records.empty())
        p.Explain(l.items, static_cast<std::int64_t>(l.records.size() * l.records[0].size() / 2));
}

// A descriptor's kind and trailing bytes, behind its Items Pointer and Item Count.
std::string KindOf(const std::string& descriptor) {
    return descriptor.size() > 10 ? descriptor.substr(10) : std::string();
}

// The positions of the longest common run of equal records, kept in order.
std::pair<std::vector<bool>, std::vector<bool>> Kept(const std::vector<std::string>& a,
                                                     const std::vector<std::string>& b) {
    const std::size_t n = a.size(), m = b.size();
    std::vector<std::vector<int>> len(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            len[i][j] =
                a[i] == b[j] ? len[i + 1][j + 1] + 1 : std::max(len[i + 1][j], len[i][j + 1]);
    std::vector<bool> ka(n, false), kb(m, false);
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (a[i] == b[j]) {
            ka[i++] = kb[j++] = true;
        } else if (len[i + 1][j] >= len[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    return {ka, kb};
}

// Pairs records of one text: among the records of `b` that share an `a` record's Text
// Pointer, the one most alike in its other fields (the first of those alike); -1 when none
// is left. Items that share a text are told apart by what else they hold, not by their
// order alone.
std::vector<int> MatchByText(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<int> match(a.size(), -1);
    std::vector<bool> taken(b.size(), false);
    const auto alike = [](const std::string& x, const std::string& y) {
        const MenuFields fx = FieldsOfRecord(x), fy = FieldsOfRecord(y);
        int same = 0;
        for (std::size_t f = 0; f < fx.size(); ++f) same += fx[f] == fy[f] ? 1 : 0;
        return same;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        int best = -1, bestAlike = -1;
        for (std::size_t j = 0; j < b.size(); ++j) {
            if (taken[j] || TextPointerOf(a[i]) != TextPointerOf(b[j])) continue;
            const int n = alike(a[i], b[j]);
            if (n > bestAlike) {
                best = static_cast<int>(j);
                bestAlike = n;
            }
        }
        if (best < 0) continue;
        match[i] = best;
        taken[static_cast<std::size_t>(best)] = true;
    }
    return match;
}

struct Walks {
    Pair& p;
    const Tree& ta;
    const Tree& tb;
    Namer& na;
    Namer& nb;
    bool securityPatched;

    std::string ItemA(std::int64_t at, int r) { return na.Item(at, r) + " in " + na.Path(at); }
    std::string ItemB(std::int64_t at, int r) { return nb.Item(at, r) + " in " + nb.Path(at); }

    void FieldsChanged(std::int64_t at, int i, const std::string& ra, const std::string& rb) {
        const MenuFields fa = FieldsOfRecord(ra), fb = FieldsOfRecord(rb);
        std::string va, vb;
        bool onlyFunc = true;
        for (int f = 0; f < kMenuFieldCount; ++f) {
            const auto k = static_cast<std::size_t>(f);
            if (fa[k] == fb[k]) continue;
            const auto field = static_cast<MenuField>(f);
            onlyFunc = onlyFunc && (field == MenuField::FuncPointer || field == MenuField::FuncId);
            va += (va.empty() ? "" : ", ") + FieldName(f) + " " + fa[k];
            vb += (vb.empty() ? "" : ", ") + FieldName(f) + " " + fb[k];
        }
        // The security patch swaps Func Pointers and Func IDs and touches nothing else.
        p.Add(securityPatched && onlyFunc ? kSecurityPatched : "changed", ItemA(at, i), va, vb);
    }

    void CompareLevel(std::int64_t at, const Level& la, const Level& lb);
};

void Walks::CompareLevel(std::int64_t at, const Level& la, const Level& lb) {
    const std::size_t before = p.section.entries.size();
    const auto& a = la.records;
    const auto& b = lb.records;
    const auto [keptA, keptB] = Kept(a, b);
    std::vector<int> restA, restB;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!keptA[i]) restA.push_back(static_cast<int>(i));
    for (std::size_t j = 0; j < b.size(); ++j)
        if (!keptB[j]) restB.push_back(static_cast<int>(j));

    // Equal records out of order moved; then records of one text changed their fields.
    auto pairUp = [&](auto matcher, auto onPair) {
        std::vector<std::string> ka, kb;
        for (int i : restA) ka.push_back(a[static_cast<std::size_t>(i)]);
        for (int j : restB) kb.push_back(b[static_cast<std::size_t>(j)]);
        const std::vector<int> match = matcher(ka, kb);
        std::vector<int> leftA, takenB(restB.size(), 0);
        for (std::size_t x = 0; x < restA.size(); ++x) {
            if (match[x] < 0) {
                leftA.push_back(restA[x]);
                continue;
            }
            takenB[static_cast<std::size_t>(match[x])] = 1;
            onPair(restA[x], restB[static_cast<std::size_t>(match[x])]);
        }
        std::vector<int> leftB;
        for (std::size_t y = 0; y < restB.size(); ++y)
            if (!takenB[y]) leftB.push_back(restB[y]);
        restA = leftA;
        restB = leftB;
    };
    pairUp(MatchByKey, [&](int i, int j) {
        p.Add("moved", ItemA(at, i), "record " + std::to_string(i), "record " + std::to_string(j));
    });
    pairUp(MatchByText, [&](int i, int j) {
        FieldsChanged(at, i, a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(j)]);
    });
    for (int i : restA) {
        p.Add("removed", ItemA(at, i), a[static_cast<std::size_t>(i)]);
        ExplainInlineText(p, p.a, a[static_cast<std::size_t>(i)]);
    }
    for (int j : restB) {
        p.Add("added", ItemB(at, j), {}, b[static_cast<std::size_t>(j)]);
        ExplainInlineText(p, p.b, b[static_cast<std::size_t>(j)]);
    }

    if (la.items != lb.items)
        p.Add("moved", "items of " + na.Path(at), OffsetText(la.items), OffsetText(lb.items));
    // Besides the Items Pointer and Item Count, the descriptor holds its kind bytes.
    Changed(p, "descriptor of " + na.Path(at), KindOf(la.descriptor), KindOf(lb.descriptor));
    if (p.section.entries.size() != before || la.descriptor != lb.descriptor) {
        ExplainLevel(p, at, la);
        ExplainLevel(p, at, lb);
    }
}

// The redirect block the security patch rewrites: found by its pattern in either image.
bool SecurityBlock(Pair& p) {
    std::int64_t c = Find(p.a, kRedirectPattern, 1);
    if (c < 0) c = Find(p.b, kRedirectPattern, 1);
    const auto ra = p.a.Read(c - 4, kRedirectBlockSize);
    const auto rb = p.b.Read(c - 4, kRedirectBlockSize);
    if (c < 4 || !ra || !rb || *ra == *rb) return false;
    p.Add(kSecurityPatched, "security redirect block at " + OffsetText(c - 4), BytesToHex(*ra),
          BytesToHex(*rb));
    p.Explain(c - 4, kRedirectBlockSize);
    return true;
}

// Whether the other image holds the same descriptor and records where `l` was read.
bool Unchanged(const Side& other, std::int64_t at, const Level& l) {
    const auto descriptor = other.Read(at, kDescriptorSize);
    if (!descriptor || BytesToHex(*descriptor) != l.descriptor) return false;
    const std::int64_t size =
        l.records.empty() ? 0 : static_cast<std::int64_t>(l.records[0].size() / 2);
    const auto records = other.Read(l.items, size * static_cast<std::int64_t>(l.records.size()));
    std::string joined;
    for (const std::string& r : l.records) joined += r;
    return records && BytesToHex(*records) == joined;
}

std::int64_t Root(Side& s, std::string* error) {
    Editor& ed = s.ed;
    *error = Attempt(s, [&] { ShowMenuTab(ed, ed.menu, ed.texts, s.ui); });
    if (error->empty() && ed.menu.tab.stack.Empty()) *error = "The menu root was not found";
    return error->empty() ? ed.menu.tab.stack.levels[0].offset : -1;
}

}  // namespace

void CompareMenus(Pair& p) {
    std::string ea, eb;
    const std::int64_t ra = Root(p.a, &ea);
    const std::int64_t rb = Root(p.b, &eb);
    if (!p.Readable(ea, eb)) return;
    const Tree ta = Walk(p.a, ra);
    const Tree tb = Walk(p.b, rb);
    Namer na(p.a, ta), nb(p.b, tb);
    Walks w{p, ta, tb, na, nb, SecurityBlock(p)};
    for (const auto& [at, la] : ta) {
        const auto lb = tb.find(at);
        if (lb != tb.end()) {
            w.CompareLevel(at, la, lb->second);
            continue;
        }
        // A level whose bytes are still there was only cut off from the tree.
        const bool kept = Unchanged(p.b, at, la);
        p.Add(kept ? "no longer reached" : "removed", "level " + na.Path(at),
              std::to_string(la.records.size()) + " records");
        if (kept) continue;
        ExplainLevel(p, at, la);
        for (const std::string& r : la.records) ExplainInlineText(p, p.a, r);
    }
    for (const auto& [at, lb] : tb) {
        if (ta.count(at)) continue;
        const bool kept = Unchanged(p.a, at, lb);
        p.Add(kept ? "now reached" : "added", "level " + nb.Path(at), {},
              std::to_string(lb.records.size()) + " records");
        if (kept) continue;
        ExplainLevel(p, at, lb);
        for (const std::string& r : lb.records) ExplainInlineText(p, p.b, r);
    }
}

}  // namespace brivant::diff

namespace brivant::diff {

namespace {

constexpr const char* kFieldOptionNames[kMenuFieldCount] = {
    "text-pointer", "tip-pointer", "func-pointer", "bmp-id",   "func-id",
    "unknown1",     "unknown2",    "class",        "animation"};

// The rows the Menu tab lists for a level in the first language: the record each shows.
std::vector<int> RowsOf(Side& s, std::int64_t at, const Level& l) {
    MenuState& m = s.ed.menu;
    m.tab.stack.levels = {MenuLevel{l.descriptor, static_cast<std::int32_t>(at)}};
    m.tab.stack.current = 0;
    m.tab.rows.clear();
    m.language = 1;
    std::vector<int> rows;
    if (!Attempt(s, [&] { ListMenuLevel(s.ed, m, s.ed.texts, s.ui); }).empty()) return rows;
    for (const MenuRow& r : m.tab.rows) rows.push_back(r.recordIndex);
    return rows;
}

int RowOf(const std::vector<int>& rows, int record) {
    const auto it = std::find(rows.begin(), rows.end(), record);
    return it == rows.end() ? -1 : static_cast<int>(it - rows.begin());
}

// The rows walked from the root to a level, as --path takes them; nothing when a level on
// the way lists no row for its record.
std::optional<std::string> PathTo(Side& s, const Tree& t, std::int64_t at) {
    std::string path;
    for (std::size_t guard = 0; guard < kMaxLevels; ++guard) {
        const auto it = t.find(at);
        if (it == t.end()) return std::nullopt;
        if (it->second.parent < 0) return path;
        const auto parent = t.find(it->second.parent);
        if (parent == t.end()) return std::nullopt;
        const int row = RowOf(RowsOf(s, parent->first, parent->second), it->second.parentRecord);
        if (row < 0) return std::nullopt;
        path = std::to_string(row) + (path.empty() ? "" : "/" + path);
        at = it->second.parent;
    }
    return std::nullopt;
}

// The inline text (04 FF, units, 00 00) an item's Text Pointer names, when it names one.
std::optional<Bytes> InlineTextOf(const Side& s, const std::string& record) {
    const std::int64_t q =
        ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(TextPointerOf(record))));
    const auto mark = s.Read(q + 1, 1);
    if (q < 1 || !mark || (*mark)[0] != 0xFF) return std::nullopt;
    const Bytes& m = s.Image();
    for (std::int64_t i = q + 2; i + 1 < static_cast<std::int64_t>(m.size()); ++i)
        if (m[static_cast<std::size_t>(i)] == 0 && m[static_cast<std::size_t>(i) + 1] == 0)
            return s.Read(q, i + 2 - q);
    return std::nullopt;
}

// Whether the Menu tab lists a record as a row, and so whether a command can reach it:
// hidden records and those whose Text Pointer leads to offset 0 are skipped.
bool Listed(const std::string& record) {
    return !IsHiddenRecord(record) &&
           ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(TextPointerOf(record)))) != 0;
}

// The row the Menu tab lists record k of an array as; -1 when it is not listed.
int ListedRow(const std::vector<std::string>& records, std::size_t k) {
    if (k >= records.size() || !Listed(records[k])) return -1;
    return static_cast<int>(
        std::count_if(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(k), Listed));
}

std::string Below(const std::string& path, int row) {
    return (path.empty() ? "" : path + "/") + std::to_string(row);
}

using Args = std::vector<std::pair<std::string, JsonValue>>;

// The commands that turn one level of A into the same level of B. Several changes to one
// level are said in an order the commands can replay: the additions (which always append)
// with the deletions, bottom up, among them where B's new texts tell, the moves that put
// every record in B's order, and last the edits, since an edit may hide a record from the
// list the moves work on.
class MenuSteps {
  public:
    MenuSteps(Side& a, Side& b, const Tree& ta, const Tree& tb) : a_(a), b_(b), ta_(ta), tb_(tb) {}

    // False (and nothing added to `out`) when the change is not one the commands can say.
    bool Steps(const std::string& path, std::int64_t at, const std::vector<std::string>& ra,
               const Level& lb, std::vector<RecipeStep>& out) {
        const auto& rb = lb.records;
        if (ra == rb) return true;
        if (ra.empty() || rb.empty()) return false;
        std::vector<RecipeStep> steps;
        std::vector<std::string> cur = ra;
        std::vector<int> target = Match(ra, rb);
        std::vector<int> added;
        for (std::size_t j = 0; j < rb.size(); ++j)
            if (std::find(target.begin(), target.end(), static_cast<int>(j)) == target.end())
                added.push_back(static_cast<int>(j));
        added = InAddingOrder(added, rb);

        const auto step = [&](const char* command, int row, Args more) {
            Args args;
            if (row >= 0) args.emplace_back("row", JsonInteger(row));
            if (!path.empty()) args.emplace_back("path", JsonText(path));
            args.insert(args.end(), more.begin(), more.end());
            steps.push_back({command, std::move(args)});
        };
        // New submenus: the B record that opens one, and the record 0 its header copies.
        std::vector<std::pair<int, std::string>> created;
        std::vector<std::size_t> doomed;  // bottom up
        for (std::size_t k = cur.size(); k-- > 0;)
            if (target[k] < 0) doomed.push_back(k);
        std::size_t nextDoomed = 0;
        const auto deleteOne = [&] {
            const std::size_t k = doomed[nextDoomed++];
            const int row = ListedRow(cur, k);
            // A level keeps a record behind its header.
            if (row < 0 || cur.size() <= 2) return false;
            step("menu delete", row, {});
            cur.erase(cur.begin() + static_cast<std::ptrdiff_t>(k));
            target.erase(target.begin() + static_cast<std::ptrdiff_t>(k));
            return true;
        };
        for (std::size_t n = 0; n < added.size(); ++n) {
            // Deletions wait for the additions: an addition writes its text and then the
            // whole array at the start of the free space, and a deletion frees the end of an
            // array that lies there. Where B's next new text lies tells how many records the
            // level held when that addition came.
            const auto count = n > 0 ? CountBeforeAdding(added, n, rb) : std::nullopt;
            while (count && nextDoomed < doomed.size() && cur.size() > 2 && cur.size() > *count)
                if (!deleteOne()) return false;
            const int j = added[n];
            const std::string& rec = rb[static_cast<std::size_t>(j)];
            const bool sub = NewSubmenu(rec);
            auto args = AddArgs(at, lb, j, sub);
            if (!args) return false;
            if (sub) created.emplace_back(j, cur[0]);
            step("menu add", -1, std::move(*args));
            cur.push_back(rec);
            target.push_back(j);
        }
        while (nextDoomed < doomed.size())
            if (!deleteOne()) return false;

        // Moves swap neighbouring rows, so the records listed are put in B's order by
        // insertion; records not listed keep their places.
        std::vector<std::size_t> slots;
        for (std::size_t k = 0; k < cur.size(); ++k)
            if (Listed(cur[k])) slots.push_back(k);
        for (std::size_t p = 1; p < slots.size(); ++p)
            for (std::size_t q = p; q > 0 && target[slots[q - 1]] > target[slots[q]]; --q) {
                step("menu move", static_cast<int>(q), {{"direction", JsonText("up")}});
                std::swap(cur[slots[q - 1]], cur[slots[q]]);
                std::swap(target[slots[q - 1]], target[slots[q]]);
            }
        for (std::size_t k = 0; k < cur.size(); ++k)
            if (target[k] != static_cast<int>(k)) return false;

        for (std::size_t k = 0; k < cur.size(); ++k) {
            if (cur[k] == rb[k]) continue;
            const int row = ListedRow(cur, k);
            if (row < 0) return false;
            const MenuFields fa = FieldsOfRecord(cur[k]), fb = FieldsOfRecord(rb[k]);
            // A Func Pointer that leads to a level only B has names an address only B
            // holds: an edit cannot make that level.
            if (fa[static_cast<std::size_t>(MenuField::FuncPointer)] !=
                    fb[static_cast<std::size_t>(MenuField::FuncPointer)] &&
                NewSubmenu(rb[k]))
                return false;
            Args fields;
            for (std::size_t f = 0; f < fa.size(); ++f)
                if (fa[f] != fb[f]) fields.emplace_back(kFieldOptionNames[f], JsonText(fb[f]));
            step("menu edit", row, std::move(fields));
            cur[k] = rb[k];
        }

        // A submenu made by an addition starts as an empty level under its new row.
        for (const auto& [j, header] : created) {
            const std::string& rec = rb[static_cast<std::size_t>(j)];
            const std::int64_t sub = ToImageOffset(FuncPointerValue(rec));
            const auto level = tb_.find(sub);
            const int row = ListedRow(rb, static_cast<std::size_t>(j));
            if (row < 0 || KindOf(level->second.descriptor) != KindOf(kNewMenuDescriptorHex) ||
                !Steps(Below(path, row), sub, {TextPointerOf(rec) + header.substr(8)},
                       level->second, steps))
                return false;
            created_.push_back(sub);
        }
        out.insert(out.end(), steps.begin(), steps.end());
        return true;
    }

    // The levels of B that steps made.
    const std::vector<std::int64_t>& Created() const { return created_; }

  private:
    // For every A record, the B record it becomes (-1: it is deleted): records kept in
    // order, equal records moved, records of one text edited, and then records left on
    // both sides edited into each other where B's needs no new text.
    std::vector<int> Match(const std::vector<std::string>& ra, const std::vector<std::string>& rb) {
        std::vector<int> target(ra.size(), -1);
        const auto [keptA, keptB] = Kept(ra, rb);
        std::vector<int> restA, restB;
        for (std::size_t i = 0, j = 0; i < ra.size(); ++i) {
            if (!keptA[i]) {
                restA.push_back(static_cast<int>(i));
                continue;
            }
            while (!keptB[j]) ++j;
            target[i] = static_cast<int>(j++);
        }
        for (std::size_t j = 0; j < rb.size(); ++j)
            if (!keptB[j]) restB.push_back(static_cast<int>(j));

        const auto pairUp = [&](auto key, auto matcher) {
            std::vector<std::string> ka, kb;
            for (const int i : restA) ka.push_back(key(static_cast<int>(i), true));
            for (const int j : restB) kb.push_back(key(static_cast<int>(j), false));
            const std::vector<int> match = matcher(ka, kb);
            std::vector<int> leftA, leftB;
            std::vector<bool> taken(restB.size(), false);
            for (std::size_t x = 0; x < restA.size(); ++x) {
                if (match[x] < 0 || ka[x].empty()) {
                    leftA.push_back(restA[x]);
                    continue;
                }
                taken[static_cast<std::size_t>(match[x])] = true;
                target[static_cast<std::size_t>(restA[x])] =
                    restB[static_cast<std::size_t>(match[x])];
            }
            for (std::size_t y = 0; y < restB.size(); ++y)
                if (!taken[y]) leftB.push_back(restB[y]);
            restA = leftA;
            restB = leftB;
        };
        const auto record = [&](int k, bool inA) {
            return inA ? ra[static_cast<std::size_t>(k)] : rb[static_cast<std::size_t>(k)];
        };
        pairUp(record, MatchByKey);
        pairUp(record, MatchByText);
        // Whatever is left: an edit can give any record whose text is already there, unless
        // it opens a submenu only B has (only an addition makes that).
        pairUp(
            [&](int k, bool inA) {
                const std::string& rec = record(k, inA);
                return inA || (!NewText(rec) && !NewSubmenu(rec)) ? std::string("any")
                                                                  : std::string();
            },
            MatchByKey);
        return target;
    }

    // Whether a B record names an inline text that A lacks: only an addition writes one.
    bool NewText(const std::string& rec) const {
        const auto text = InlineTextOf(b_, rec);
        return text && InlineTextOf(a_, rec) != text;
    }

    // Whether a B record opens a level that only B has: an addition with a new submenu.
    bool NewSubmenu(const std::string& rec) const {
        if (!IsSubMenuRecord(rec)) return false;
        const std::int64_t sub = ToImageOffset(FuncPointerValue(rec));
        const auto level = tb_.find(sub);
        return level != tb_.end() && !ta_.count(sub) && !Unchanged(a_, sub, level->second);
    }

    // Additions in the order they were made: each new text lies behind the one before.
    std::vector<int> InAddingOrder(std::vector<int> added,
                                   const std::vector<std::string>& rb) const {
        std::vector<int> named;
        for (const int j : added)
            if (NewText(rb[static_cast<std::size_t>(j)])) named.push_back(j);
        const auto textAt = [&](int j) {
            return HexTextToInt(TextPointerOf(rb[static_cast<std::size_t>(j)]));
        };
        std::vector<int> sorted = named;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&](int x, int y) { return textAt(x) < textAt(y); });
        for (std::size_t n = 0, k = 0; k < added.size(); ++k)
            if (NewText(rb[static_cast<std::size_t>(added[k])])) added[k] = sorted[n++];
        return added;
    }

    // The records a level held right before the n-th addition, told by the gap between the
    // text of the addition before and its own: that text, a new submenu's descriptor and
    // header record, and the array as it was left; nothing when that is not told.
    std::optional<std::size_t> CountBeforeAdding(const std::vector<int>& added, std::size_t n,
                                                 const std::vector<std::string>& rb) const {
        if (n == 0 || n >= added.size()) return std::nullopt;
        const std::string& rec = rb[static_cast<std::size_t>(added[n - 1])];
        const std::string& next = rb[static_cast<std::size_t>(added[n])];
        const auto text = InlineTextOf(b_, rec);
        if (!text || !NewText(rec) || !NewText(next)) return std::nullopt;
        const auto at = [](const std::string& r) {
            return ToImageOffset(static_cast<std::uint32_t>(HexTextToInt(TextPointerOf(r))));
        };
        const auto size = static_cast<std::int64_t>(rec.size() / 2);
        const std::int64_t array = at(next) - at(rec) - static_cast<std::int64_t>(text->size()) -
                                   (NewSubmenu(rec) ? kDescriptorSize + size : 0);
        if (size == 0 || array < size || array % size != 0) return std::nullopt;
        return static_cast<std::size_t>(array / size);
    }

    // The arguments of "menu add" that give B's record `record` of the level at `at`.
    std::optional<Args> AddArgs(std::int64_t at, const Level& lb, int record, bool sub) {
        const std::string& rec = lb.records[static_cast<std::size_t>(record)];
        const MenuFields fb = FieldsOfRecord(rec);
        Args args;
        const bool named = NewText(rec);
        if (named) {
            const std::vector<int> rows = RowsOf(b_, at, lb);
            const int row = RowOf(rows, record);
            if (row < 0) return std::nullopt;
            args.emplace_back(
                "name",
                JsonText(Latin1ToUtf8(b_.ed.menu.tab.rows[static_cast<std::size_t>(row)].name)));
        }
        if (sub) args.emplace_back("submenu", JsonTrue());
        for (std::size_t f = 0; f < fb.size(); ++f) {
            const auto field = static_cast<MenuField>(f);
            if (fb[f].empty() || (field == MenuField::TextPointer && named) ||
                (field == MenuField::FuncPointer && sub))
                continue;
            args.emplace_back(kFieldOptionNames[f], JsonText(fb[f]));
        }
        return args;
    }

    Side& a_;
    Side& b_;
    const Tree& ta_;
    const Tree& tb_;
    std::vector<std::int64_t> created_;
};

// How many levels lie above a level of the tree.
std::size_t Depth(const Tree& t, std::int64_t at) {
    std::size_t depth = 0;
    for (auto it = t.find(at); it != t.end() && it->second.parent >= 0 && depth < kMaxLevels;
         it = t.find(it->second.parent))
        ++depth;
    return depth;
}

constexpr std::pair<int, const char*> kSecurityChoices[] = {
    {kWholeMenu, "whole"}, {kInbox, "inbox"}, {kOutbox, "outbox"}};

}  // namespace

bool MakeMenus(Side& a, Side& b, Recipe& r) {
    std::string ea, eb;
    Root(a, &ea);
    const std::int64_t rootB = Root(b, &eb);
    if (!ea.empty() || !eb.empty()) return ea == eb && a.Image() == b.Image();

    // The security patch first: which item it guards is found by patching a copy of A each
    // way and keeping the way that gives B's bytes where the patch wrote.
    std::unique_ptr<Editor> patched;
    for (const auto& [choice, flag] : kSecurityChoices) {
        auto trial = std::make_unique<Editor>(a.ed);
        RecordingUi ui;
        std::optional<SecurityPatch> done;
        try {
            ChooseSecurityOption(trial->security, choice);
            done = PatchSecurityCode(*trial, trial->security, ui);
        } catch (const std::exception&) {
            continue;
        }
        if (!done) continue;
        bool same = true;
        for (const PatchedBlock* block : {&done->guarded, &done->security, &done->redirect})
            same = same && b.Read(block->offset, static_cast<std::int64_t>(block->after.size())) ==
                               block->after;
        if (!same) continue;
        r.steps.push_back({"security patch", {{flag, JsonTrue()}}});
        patched = std::move(trial);
        break;
    }
    if (!patched) patched = std::make_unique<Editor>(a.ed);
    Side pa(*patched);
    const Tree ta = Walk(pa, Root(pa, &ea));
    const Tree tb = Walk(b, rootB);
    MenuSteps steps(pa, b, ta, tb);

    // A level's path is its rows in the levels above, so the deepest levels go first: the
    // levels above are still as A has them when the path is followed.
    std::vector<std::int64_t> order;
    for (const auto& level : ta) order.push_back(level.first);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::int64_t x, std::int64_t y) { return Depth(ta, x) > Depth(ta, y); });
    bool all = true;
    for (const std::int64_t at : order) {
        const Level& la = ta.at(at);
        const auto lb = tb.find(at);
        // A level no longer reached is left as it was: its item was deleted or changed.
        if (lb == tb.end()) {
            all = all && Unchanged(b, at, la);
            continue;
        }
        if (KindOf(la.descriptor) != KindOf(lb->second.descriptor)) {
            all = false;
            continue;
        }
        if (la.records == lb->second.records) continue;
        const auto path = PathTo(pa, ta, at);
        all = path && steps.Steps(*path, at, la.records, lb->second, r.steps) && all;
    }
    const auto& created = steps.Created();
    for (const auto& [at, lb] : tb)
        all = all &&
              (ta.count(at) > 0 || std::find(created.begin(), created.end(), at) != created.end() ||
               Unchanged(pa, at, lb));
    return all;
}

}  // namespace brivant::diff
