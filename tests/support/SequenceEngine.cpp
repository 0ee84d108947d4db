#include "support/SequenceEngine.h"

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <set>

#include "app/Editor.h"
#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "app/UndoFlow.h"
#include "check/Check.h"
#include "cli/ScriptedInteraction.h"
#include "core/FileIO.h"
#include "core/UserError.h"
#include "graphics/AniCommands.h"
#include "graphics/BitmapCatalog.h"
#include "graphics/BitmapCommands.h"
#include "graphics/BitmapFormat.h"
#include "image/Address.h"
#include "menu/MenuEdit.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "menu/TAddMenu.h"
#include "patches/CodePatch.h"
#include "patches/FadeCodes.h"
#include "patches/Fading.h"
#include "patches/InvertLCD.h"
#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"
#include "sample/SampleBuilder.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToptionFrm.h"

namespace brivant::sequence {

namespace {

std::ostream& NullStream() {
    static std::ostream null(nullptr);
    return null;
}

class Ui : public ScriptedInteraction {
  public:
    Ui() : ScriptedInteraction(NullStream()) {}
};

std::string Hex(std::int64_t v) {
    return "0x" + IntToHex(static_cast<std::uint32_t>(v), 8);
}

// A folder of this process for the saved images and tone files.
const std::filesystem::path& Scratch() {
    static const std::filesystem::path dir = [] {
        std::error_code ec;
        const std::filesystem::path shm = "/dev/shm";
        const auto base = std::filesystem::is_directory(shm, ec) && ::access("/dev/shm", W_OK) == 0
                              ? shm
                              : std::filesystem::temp_directory_path();
        auto d = base / ("brivant-sequence-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

std::string ScratchFile(const std::string& name) {
    return (Scratch() / name).string();
}

// A session to compute on, kept for the whole process: assigned rather than copied, its
// buffers keep their room, and under the sanitizers every megabyte allocated afresh is a new
// mapping whose page faults were most of a sequence's cost.
Session& Spare(const Session& from) {
    static Session spare;
    spare = from;
    return spare;
}

// Hands `use` the image as the next save writes it (the checksums are repaired by the save
// and say nothing of the edits), without a copy of it unless the save would rebuild it.
template <class Use>
auto WithEffective(const Editor& ed, Use&& use) {
    if (!(ed.PpmChanged && ed.ppm.split)) return use(ed.MainHex.Data());
    Session& copy = Spare(ed);
    try {
        UpdatePPM(copy);
    } catch (const UserError&) {
        // The save would refuse; the image stays what it is.
    }
    return use(copy.MainHex.Data());
}

Bytes Effective(const Editor& ed) {
    return WithEffective(ed, [](const Bytes& b) { return b; });
}

// The bytes the save sets on its own, left out of every comparison: bytes 34 and 35 and the
// last six, in images longer than 40 bytes.
bool IsMasked(std::size_t i, std::size_t size) {
    return size > 40 && (i == 34 || i == 35 || i + 6 >= size);
}

// A copy of `count` bytes of b from `from`, with the masked ones cleared.
Bytes MaskedPart(const Bytes& b, std::size_t from, std::size_t count) {
    Bytes part(b.begin() + static_cast<std::ptrdiff_t>(from),
               b.begin() + static_cast<std::ptrdiff_t>(from + count));
    for (std::size_t j = 0; j < count; ++j)
        if (IsMasked(from + j, b.size())) part[j] = 0;
    return part;
}

// A state of the history, as the fast run keeps it: a hash of the masked bytes. The thorough
// run, which names the first differing byte, keeps the bytes themselves.
struct State {
    std::uint64_t hash = 0;
    Bytes bytes;  // thorough runs only
};

// A hash of b with the masked bytes cleared, without copying b: FNV-1a over eight bytes at a
// time, at memory speed; the head and tail, where the masked bytes lie, are hashed from small
// copies.
std::uint64_t MaskedHash(const Bytes& b) {
    constexpr std::size_t kHead = 40, kTail = 8;
    std::uint64_t h = 1469598103934665603ull ^ b.size();
    auto words = [&h](const std::uint8_t* p, std::size_t n) {
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            h = (h ^ w) * 1099511628211ull;
        }
        for (; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
    };
    if (b.size() <= kHead + kTail) {
        const Bytes m = MaskedPart(b, 0, b.size());
        words(m.data(), m.size());
        return h;
    }
    const Bytes head = MaskedPart(b, 0, kHead), tail = MaskedPart(b, b.size() - kTail, kTail);
    words(head.data(), head.size());
    words(b.data() + kHead, b.size() - kHead - kTail);
    words(tail.data(), tail.size());
    return h;
}

// The first index at which a and b (of one size) differ and `counts` holds, or nothing. Equal
// blocks are skipped with memcmp: a loop over every byte was most of a step's time in the
// instrumented builds.
template <class Counts>
std::optional<std::size_t> FirstDifferenceWhere(const Bytes& a, const Bytes& b, Counts&& counts) {
    constexpr std::size_t kBlock = 4096;
    for (std::size_t from = 0; from < a.size(); from += kBlock) {
        const std::size_t to = std::min(from + kBlock, a.size());
        if (std::memcmp(a.data() + from, b.data() + from, to - from) == 0) continue;
        for (std::size_t i = from; i < to; ++i)
            if (a[i] != b[i] && counts(i)) return i;
    }
    return std::nullopt;
}

// Where a and b differ outside the masked bytes, or nothing; without copying either.
std::string MaskedDifference(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size())
        return std::to_string(a.size()) + " bytes against " + std::to_string(b.size());
    const std::size_t n = a.size();
    const auto i = FirstDifferenceWhere(a, b, [n](std::size_t i) { return !IsMasked(i, n); });
    if (!i) return {};
    return "byte " + Hex(static_cast<std::int64_t>(*i)) + " is " + IntToHex(a[*i], 2) + ", not " +
           IntToHex(b[*i], 2);
}

// A problem as compared with the sample's own. Data right below the PPM area (the fallback
// layout) lies in what the MCU figure counts, which the check reports with the range of the
// free space; that range starts wherever the last write left FreeOffset, so only what is
// not free, and where, is compared.
std::string ProblemKey(const std::string& p) {
    const std::string head = "The MCU free space ", tail = " is not all free";
    const auto from = p.find(head);
    const auto to = from == std::string::npos ? from : p.find(tail, from);
    if (to == std::string::npos) return p;
    return p.substr(0, from + head.size()) + p.substr(to);
}

struct Base {
    Bytes bytes;
    std::set<std::string> problems;
    // The sample as a sequence starts on it (opened, every tab read, the menu on its first
    // language), made once: each sequence starts from a copy.
    std::unique_ptr<Editor> opened;
};

// `fallback`: no mark ends the MCU free space and data lies right below the PPM area, so an
// open finds the free space by its fallback rule.
Base& BaseOf(int family, bool fallback) {
#if defined(__GLIBC__)
    // Every step copies a megabyte or two; kept in the heap rather than mapped and unmapped
    // each time, those copies cost no page faults.
    static const bool heapKept = [] {
        mallopt(M_MMAP_THRESHOLD, 32 << 20);
        mallopt(M_TRIM_THRESHOLD, 256 << 20);
        return true;
    }();
    (void)heapKept;
#endif
    static std::map<std::pair<int, bool>, std::unique_ptr<Base>> bases;
    auto& b = bases[{family, fallback}];
    if (!b) {
        b = std::make_unique<Base>();
        SampleOptions o;
        o.family = family;
        o.size = kSampleSize;
        o.mcuEndMark = !fallback;
        o.occupiedBelowPpm = fallback;
        b->bytes = BuildSample(o).bytes;
        CheckOptions c;
        c.phoneType = family;
        c.checksums = false;
        for (const std::string& p : CheckBytes(b->bytes, "sample.fls", c).Problems())
            b->problems.insert(ProblemKey(p));
    }
    return *b;
}

class Input {
  public:
    Input(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    std::uint8_t Next() { return i_ < n_ ? d_[i_++] : 0; }
    bool Done() const { return i_ >= n_; }

  private:
    const std::uint8_t* d_;
    std::size_t n_, i_ = 0;
};

// The lists a reopen must give back as the editor showed them before the save.
std::vector<std::string> Lists(const Editor& ed) {
    std::vector<std::string> l;
    l.push_back(ed.tones.ringtoneCount);
    for (const auto& r : ed.tones.ringtones)
        l.push_back("ringtone " + r.name + "|" + r.id + "|" + r.length);
    for (const auto& r : ed.texts.languages)
        l.push_back("language " + r.language + "|" + r.id + "|" + r.length);
    for (const auto& r : ed.texts.countries)
        l.push_back("country " + r.country + "|" + r.code + "|" + r.operators);
    for (const auto& b : ed.graphics.bitmaps) l.push_back("bitmap " + BytesToHex(b.record));
    for (const auto& a : ed.ani.catalog)
        l.push_back("animation " + IntToHex(a.address, 8) + "|" + std::to_string(a.lengthByte));
    l.push_back("free offset " + std::to_string(ed.FreeOffset));
    l.push_back("MCU free " + ed.mcuFreeField);
    l.push_back("PPM free " + ed.ppmFreeField);
    return l;
}

using Ranges = std::vector<std::pair<std::int64_t, std::int64_t>>;  // [from, to)

class Runner {
  public:
    // A fast run checks the whole image at every save and at the end, and keeps hashes of the
    // history's states; a thorough run checks it after every step and keeps the bytes, to
    // name the step and the byte where a finding of the fast run first shows.
    Runner(Outcome& out, int family, bool fallback, bool thorough)
        : out_(out),
          family_(family),
          base_(BaseOf(family, fallback)),
          thorough_(thorough),
          ed_(base_.opened ? Editor(*base_.opened) : Editor()) {}

    void Run(Input& in);

  private:
    void Open(FileContent file, const std::string& path);
    // The image as the next save writes it, as the history keeps it.
    State Current() const {
        if (thorough_) {
            Bytes b = Effective(ed_);
            const std::uint64_t h = MaskedHash(b);
            return State{h, std::move(b)};
        }
        return State{WithEffective(ed_, MaskedHash), {}};
    }
    // Where the image differs from the state the history should be in, or nothing.
    std::string Differs(const State& expected) const {
        const State now = Current();
        if (thorough_) return MaskedDifference(now.bytes, expected.bytes);
        return now.hash == expected.hash ? std::string() : std::string("its bytes differ");
    }
    void ShowTabs();
    bool Finding(const std::string& text) {
        out_.finding = text;
        return false;
    }
    // One command as the window runs it: one step of the history. A refusal is expected.
    bool Command(const std::string& what, const Ranges& own, const std::function<void()>& body);
    bool AfterChange(const std::string& what, const Bytes& before, const Ranges& own,
                     std::size_t done);
    bool CheckState(const std::string& what);
    bool Step(Input& in);
    bool Undo(bool redo);
    bool Save(bool reopen);

    Ranges MenuLevelRanges();
    Ranges AniRanges(int id);
    Ranges PatchRanges(bool fade);
    Ranges AdjustRanges(std::int64_t n);
    bool ImportBitmap(int a, int b);

    Outcome& out_;
    int family_;
    Base& base_;
    bool thorough_;
    Editor ed_;
    Ui ui_;
    std::string path_ = ScratchFile("image.fls");
    std::string tone_ = ScratchFile("tone.re");
    // states_[k]: the image with k steps of the history done.
    std::vector<State> states_;
    std::vector<std::int32_t> freeOffsets_;
};

void Runner::Open(FileContent file, const std::string& path) {
    OpenContent(ed_, ui_, std::move(file), path);
    if (ed_.PhoneType() != family_) ChoosePhoneType(ed_, ui_, family_);
    ShowTabs();
    try {
        if (!ed_.Is62xx()) ChooseMenuLanguage(ed_, ed_.menu, ed_.texts, ui_, 1);
    } catch (const UserError&) {
    }
    states_ = {Current()};
    freeOffsets_ = {ed_.FreeOffset};
}

void Runner::ShowTabs() {
    for (const Tab t : {Tab::Languages, Tab::Operators, Tab::Graphics, Tab::Menu, Tab::Tones}) {
        try {
            TabChanged(ed_, ui_, t);
        } catch (const UserError&) {
        }
    }
}

bool Runner::CheckState(const std::string& what) {
    CheckOptions o;
    o.phoneType = family_;
    o.checksums = false;
    const auto problems =
        WithEffective(ed_, [&](const Bytes& image) { return CheckBytes(image, "edited.fls", o); });
    for (const std::string& p : problems.Problems())
        if (!base_.problems.count(ProblemKey(p)))
            return Finding("after " + what + " the check finds: " + p);
    return true;
}

bool Runner::AfterChange(const std::string& what, const Bytes& before, const Ranges& own,
                         std::size_t done) {
    const Bytes& after = ed_.MainHex.Data();
    if (after.size() != before.size()) return Finding(what + " changed the image's size");
    const auto foreign = FirstDifferenceWhere(after, before, [&](std::size_t i) {
        const auto at = static_cast<std::int64_t>(i);
        return before[i] != 0xFF && std::none_of(own.begin(), own.end(), [at](const auto& r) {
                   return at >= r.first && at < r.second;
               });
    });
    if (foreign)
        return Finding(what + " wrote byte " + Hex(static_cast<std::int64_t>(*foreign)) + " (" +
                       IntToHex(before[*foreign], 2) + " to " + IntToHex(after[*foreign], 2) +
                       "), which is neither its own nor free");
    // The history: a changed image is one more step; an unchanged one is the same state.
    const std::size_t k = ed_.history.UndoCount();
    if (k == done + 1) {
        states_.resize(k);
        freeOffsets_.resize(k);
        states_.push_back(Current());
        freeOffsets_.push_back(ed_.FreeOffset);
    } else if (k < states_.size()) {
        if (const std::string d = Differs(states_[k]); !d.empty())
            return Finding(what + " changed the image without a step to undo: " + d);
        return true;  // the image is as it was: nothing new to check
    }
    return !thorough_ || CheckState(what);
}

bool Runner::Command(const std::string& what, const Ranges& own,
                     const std::function<void()>& body) {
    out_.steps.push_back(what);
    // One buffer for every step of the process: assigned, not allocated, so that the sanitizer
    // builds' allocator does not map and unmap a megabyte per step.
    static Bytes before;
    before = ed_.MainHex.Data();
    const std::size_t done = ed_.history.UndoCount();
    try {
        RunStep(ed_, what, body);
    } catch (const UserError&) {
    } catch (const std::exception& e) {
        return Finding(what + " threw: " + e.what());
    }
    return AfterChange(what, before, own, done);
}

bool Runner::Undo(bool redo) {
    const std::string what = redo ? "redo" : "undo";
    out_.steps.push_back(what);
    if (redo ? !ed_.history.CanRedo() : !ed_.history.CanUndo()) return true;
    try {
        if (redo)
            RedoCommand(ed_, ui_);
        else
            UndoCommand(ed_, ui_);
    } catch (const std::exception& e) {
        return Finding(what + " threw: " + e.what());
    }
    const std::size_t k = ed_.history.UndoCount();
    if (k >= states_.size()) return Finding(what + " went past the steps taken");
    const std::string d = Differs(states_[k]);
    if (!d.empty()) return Finding(what + " did not give back the image as it was: " + d);
    if (ed_.FreeOffset != freeOffsets_[k])
        return Finding(what + " left the free offset at " + Hex(ed_.FreeOffset) + ", not " +
                       Hex(freeOffsets_[k]));
    return !thorough_ || CheckState(what);
}

bool Runner::Save(bool reopen) {
    const std::string what = reopen ? "save and reopen" : "save";
    out_.steps.push_back(what);
    if (!HasUnsavedWork(ed_)) return true;
    static Bytes expected;  // assigned, not allocated: see Spare
    WithEffective(ed_, [](const Bytes& b) { expected = b; });
    // Every tab looked at, as the user would before leaving: the lists of tabs not on show
    // are read when they are shown.
    ShowTabs();
    const std::vector<std::string> lists = Lists(ed_);
    ui_.saveFiles = {path_};
    ui_.checksumOk = true;
    bool saved = false;
    try {
        saved = SaveImage(ed_, ui_);
    } catch (const UserError&) {
    } catch (const std::exception& e) {
        return Finding(what + " threw: " + e.what());
    }
    if (!saved) return true;
    FileContent file = ReadFileContent(path_, "%s");
    if (const std::string d = MaskedDifference(file.bytes, expected); !d.empty())
        return Finding(what + " wrote another image than the one edited: " + d);
    if (const std::string d = MaskedDifference(ed_.MainHex.Data(), expected); !d.empty())
        return Finding(what + " left another image in the editor than it wrote: " + d);
    if (!reopen) return CheckState(what);
    try {
        Open(std::move(file), path_);
    } catch (const std::exception& e) {
        return Finding(what + ": the saved image cannot be opened: " + e.what());
    }
    const std::vector<std::string> again = Lists(ed_);
    for (std::size_t i = 0; i < std::max(lists.size(), again.size()); ++i) {
        const std::string a = i < lists.size() ? lists[i] : "(nothing)";
        const std::string b = i < again.size() ? again[i] : "(nothing)";
        if (a != b) return Finding(what + ": the editor listed " + a + ", the reopened image " + b);
    }
    return CheckState(what);
}

Ranges Runner::MenuLevelRanges() {
    const MenuView& v = ed_.menu.tab;
    if (v.stack.Empty()) return {};
    const MenuLevel& l = v.stack.Current();
    const std::int64_t items = ToImageOffset(ItemsPointerOf(l.descriptor));
    const std::int64_t n = std::int64_t{ItemCountOf(l.descriptor)} + 1;
    return {{l.offset, l.offset + kDescriptorSize},
            {items, items + n * MenuRecordSize(ed_.PhoneType())}};
}

Ranges Runner::AniRanges(int id) {
    const AniState& a = ed_.ani;
    if (id < 0 || id >= static_cast<int>(a.catalog.size())) return {};
    const AniEntry& e = a.catalog[static_cast<std::size_t>(id)];
    const std::int64_t list = ToImageOffset(e.address);
    Ranges r = {{e.slot, e.slot + 4}, {list, list + (e.lengthByte + 3) / 4 * 4}};
    if (a.lengthTableOffset >= 0)
        r.push_back({a.lengthTableOffset + id, a.lengthTableOffset + id + 1});
    return r;
}

Ranges Runner::PatchRanges(bool fade) {
    Session& copy = Spare(ed_);
    Ranges r;
    try {
        if (fade) {
            FadeChoice c;
            if (!ChooseFade(ed_.PhoneTypeText(), ed_.UnitModelHex, c)) return r;
            const std::int64_t at = std::int64_t{FindHook(copy, c.hook)} + kFirstSite;
            r = {{at, at + 4}, {at + c.secondSite, at + c.secondSite + 4}};
        } else {
            const std::int64_t at = FindHook(copy, kLcdHookHex);
            r = {{at + 8, at + 12}, {at + 40, at + 44}};
        }
    } catch (const UserError&) {
    }
    return r;
}

Ranges Runner::AdjustRanges(std::int64_t n) {
    const Bytes& b = ed_.MainHex.Data();
    const Bytes dumfile = HexToBytes(kDumfileHex);
    const Bytes marker = HexToBytes(kPpmMarkerHex);
    const auto d = std::search(b.begin() + 1, b.end(), dumfile.begin(), dumfile.end()) - b.begin();
    const auto p = std::search(b.begin() + 1, b.end(), marker.begin(), marker.end()) - b.begin();
    if (d + 32 > static_cast<std::int64_t>(b.size())) return {};
    const std::int64_t end = ToImageOffset(GetBE32(&b[static_cast<std::size_t>(d + 28)]));
    return {{d + 24, d + 28}, {p - n, end + 1}};
}

// A picture of the bitmap's own size with one pixel changed. Its bytes are its own: the
// record, and where it is written in place its pixel bytes and nothing behind them. Bytes
// that take it elsewhere must have been free (FF), the fillers behind it included.
bool Runner::ImportBitmap(int a, int b) {
    ed_.activeTab = Tab::Graphics;
    GraphicsState& g = ed_.graphics;
    if (g.bitmaps.empty()) {
        out_.steps.push_back("(no bitmaps)");
        return true;
    }
    const int id = a % static_cast<int>(g.bitmaps.size());
    try {
        SelectBitmap(ed_, g, id);
    } catch (const UserError&) {
    }
    const BitmapEntry& e = g.bitmaps[static_cast<std::size_t>(id)];
    const int w = e.Width(), h = e.Height();
    if (w == 0 || h == 0 || g.pixels.empty()) return true;
    BitmapCanvas picture = RenderPixels(g.pixels, w, h);
    const auto pixel = static_cast<std::size_t>(b % (w * h));
    picture.dark[pixel] = picture.dark[pixel] ? 0 : 1;
    const std::int64_t at = ToImageOffset(e.Address());
    const Ranges own = {{e.recordOffset, e.recordOffset + 12}, {at, at + PixelByteCount(w, h)}};
    return Command("import a changed picture into bitmap " + std::to_string(id), own,
                   [&, picture] { ImportPicture(ed_, g, ui_, picture); });
}

bool Runner::Step(Input& in) {
    const int op = in.Next() % 19;
    const int a = in.Next();
    const int b = in.Next();
    const auto rows = static_cast<int>(ed_.tones.ringtones.size());
    const auto menuRows = static_cast<int>(ed_.menu.tab.rows.size());
    const std::string row = std::to_string(rows ? a % rows : 0);
    auto exportTone = [&](int r) {
        ui_.saveFiles = {tone_};
        try {
            RetrieveRingtone(ed_, ed_.tones, ui_, r);
        } catch (const UserError&) {
        }
    };
    auto options = [&] {
        ui_.dialogs.On<ToptionFrm>() = [](ToptionFrm& m) {
            m.count = "2";
            return !m.PressOk();
        };
    };
    ed_.activeTab = Tab::Tones;
    switch (op) {
        case 0:
            return Command("delete ringtone " + row, {},
                           [&] { DeleteRingtone(ed_, ed_.tones, ui_, rows ? a % rows : 0); });
        case 1:
            exportTone(rows ? b % rows : 0);
            return Command("add ringtone (a copy of " + std::to_string(rows ? b % rows : 0) + ")",
                           {}, [&] {
                               ui_.openFiles = {tone_};
                               AddRingtone(ed_, ed_.tones, ui_);
                           });
        case 2:
            exportTone(rows ? b % rows : 0);
            return Command("change ringtone " + row, {}, [&] {
                ui_.openFiles = {tone_};
                ChangeRingtone(ed_, ed_.tones, ui_, rows ? a % rows : 0);
            });
        case 3: {
            exportTone(rows ? b % rows : 0);
            const int kind = a % kAlertKindCount;
            Ranges own;
            try {
                const std::int64_t entry = LocateAlertEntry(Spare(ed_), kind);
                own = {{entry, entry + 4}};
            } catch (const UserError&) {
            }
            options();
            return Command(std::string("change alert tone ") +
                               AlertKinds()[static_cast<std::size_t>(kind)].entry,
                           own, [&] {
                               ui_.openFiles = {tone_};
                               AlertToneDoIt(ed_, ed_.tones, ui_, kind, true);
                           });
        }
        case 4:
            ed_.activeTab = Tab::Menu;
            return Command("delete menu item " + std::to_string(menuRows ? a % menuRows : 0),
                           MenuLevelRanges(), [&] {
                               if (menuRows) DeleteMenuItem(ed_, ed_.menu, ui_, a % menuRows);
                           });
        case 5: {
            ed_.activeTab = Tab::Menu;
            const bool sub = b & 1;
            ui_.dialogs.On<TAddMenu>() = [a, sub](TAddMenu& d) {
                d.name = "Item" + std::to_string(a % 10);
                d.withSubMenu = sub;
                return !d.PressOk();
            };
            return Command(std::string("add menu item") + (sub ? " with a submenu" : ""),
                           MenuLevelRanges(), [&] { AddMenuItem(ed_, ed_.menu, ed_.texts, ui_); });
        }
        case 6:
            out_.steps.push_back("enter submenu " + std::to_string(menuRows ? a % menuRows : 0));
            try {
                if (menuRows) EnterSubMenu(ed_, ed_.menu, ed_.texts, ui_, a % menuRows);
            } catch (const UserError&) {
            }
            return true;
        case 7:
            out_.steps.push_back("back to the upper menu level");
            try {
                LeaveSubMenu(ed_, ed_.menu, ed_.texts, ui_);
            } catch (const UserError&) {
            }
            return true;
        case 8:
            ui_.dialogs.On<TFadeLeds>() = [](TFadeLeds& m) { return !m.PressOk(); };
            return Command("Fading Leds", PatchRanges(true),
                           [&] { FadingLeds(ed_, ed_.patches, ui_); });
        case 9:
            ui_.dialogs.On<TInvertFrm>() = [](TInvertFrm& m) {
                m.choice = TInvertFrm::kNonBlinkingMode;
                m.PressOk();
                return true;
            };
            return Command("Inverted LCD", PatchRanges(false),
                           [&] { InvertedLcd(ed_, ed_.patches, ui_); });
        case 10:
        case 11: {
            ed_.activeTab = Tab::Graphics;
            AniState& ani = ed_.ani;
            if (!ani.enabled || ani.catalog.empty()) {
                out_.steps.push_back("(no animations)");
                return true;
            }
            const int id = a % static_cast<int>(ani.catalog.size());
            try {
                if (id != ani.current) ShowAnimation(ed_, ani, ed_.graphics, ui_, id);
            } catch (const UserError&) {
            }
            const std::string name = "animation " + std::to_string(id);
            if (op == 10) {
                const int count = std::max(1, ani.shownCount + ((b & 1) ? 1 : -1));
                return Command("set the length of " + name + " to " + std::to_string(count),
                               AniRanges(id),
                               [&] { FrameCountChanged(ed_, ani, ed_.graphics, ui_, count); });
            }
            if (ani.frames.empty() || ed_.graphics.bitmaps.empty()) return true;
            const int frame = b % static_cast<int>(ani.frames.size());
            const int bitmap = (a / 7) % static_cast<int>(ed_.graphics.bitmaps.size());
            return Command("set frame " + std::to_string(frame) + " of " + name + " to bitmap " +
                               std::to_string(bitmap),
                           AniRanges(id), [&] {
                               if (ani.frame != frame)
                                   ShowFrame(ed_, ani, ed_.graphics, ui_, frame);
                               FrameBitmapChosen(ed_, ani, ed_.graphics, ui_, bitmap);
                           });
        }
        case 12: {
            const int n = 1 + a * 4 + (b & 3);
            const bool mcu = b & 4;
            ui_.texts = {std::to_string(n)};
            return Command(
                std::string("adjust ") + (mcu ? "MCU" : "PPM") + " space by " + std::to_string(n),
                AdjustRanges(n),
                [&] { AdjustSpace(ed_, ui_, mcu ? AdjustTarget::MCU : AdjustTarget::PPM); });
        }
        case 13:
            return Undo(false);
        case 14:
            return Undo(true);
        case 15:
            return Save(false);
        case 16:
            return Save(true);
        case 18:
            return ImportBitmap(a, b);
        default:
            ed_.activeTab = Tab::Menu;
            return Command("move menu item " + std::to_string(menuRows ? a % menuRows : 0),
                           MenuLevelRanges(), [&] {
                               if (menuRows) MoveMenuItem(ed_, ed_.menu, a % menuRows, b & 1);
                           });
    }
}

void Runner::Run(Input& in) {
    if (!base_.opened) {
        Open(FileContent{base_.bytes, {}, false}, path_);
        base_.opened = std::make_unique<Editor>(ed_);
    } else {
        states_ = {Current()};
        freeOffsets_ = {ed_.FreeOffset};
    }
    const int steps = in.Next() % kMaxSteps + 1;
    for (int i = 0; i < steps && !in.Done(); ++i) {
        ui_.openFiles.clear();
        ui_.saveFiles.clear();
        ui_.texts.clear();
        if (!Step(in)) return;
    }
    // What every step left behind, at the end: a thorough run has checked each one already.
    if (!thorough_ && !out_.finding) CheckState("the last step");
}

}  // namespace

std::string Outcome::Text() const {
    std::string text = "family " + family + ":";
    for (std::size_t i = 0; i < steps.size(); ++i) text += (i ? "; " : " ") + steps[i];
    if (finding) text += "\n  " + *finding;
    return text;
}

namespace {

Outcome Run(const std::uint8_t* data, std::size_t n, bool thorough) {
    Input in(data, n);
    const std::uint8_t first = in.Next();
    const int family = kFamilies[first % kFamilies.size()];
    const bool fallback = (first / kFamilies.size()) % 2 == 1;
    Outcome out;
    Runner runner(out, family, fallback, thorough);
    try {
        runner.Run(in);
    } catch (const std::exception& e) {
        if (!out.finding) out.finding = std::string("the sequence threw: ") + e.what();
    }
    out.family = std::to_string(family) + (fallback ? " (free space without its end mark)" : "");
    return out;
}

}  // namespace

Outcome RunSequence(const std::uint8_t* data, std::size_t n) {
    Outcome fast = Run(data, n, false);
    if (!fast.finding) return fast;
    // Found: the same sequence again, checked after every step, names the step that broke
    // the image and the first byte that differs.
    Outcome thorough = Run(data, n, true);
    return thorough.finding ? thorough : fast;
}

}  // namespace brivant::sequence
