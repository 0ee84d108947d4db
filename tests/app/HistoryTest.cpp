// Undo and redo over the image: every kind of edit is taken back and done again byte for
// byte, lists follow the bytes, the stack stays within its bounds, and unsaved changes are
// asked about before they are lost.

#include <gtest/gtest.h>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "app/UndoFlow.h"
#include "core/UserError.h"
#include "graphics/AniCommands.h"
#include "graphics/BitmapCommands.h"
#include "graphics/GraphicsTestSupport.h"
#include "menu/MenuEdit.h"
#include "menu/MenuLevels.h"
#include "menu/SecurityPatch.h"
#include "menu/TMenuEdit.h"
#include "patches/Fading.h"
#include "patches/PatchTestSupport.h"
#include "patches/TFadeLeds.h"
#include "ppm/Checksums.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneTestSupport.h"

namespace brivant::test {
namespace {

// Everything of the image a step must restore.
struct ImageState {
    Bytes bytes;
    std::array<std::string, kPieceCount> pieces;
    bool split = false;
    std::int32_t totalLength = 0, freeOffset = 0;
    bool ppmChanged = false, unsaved = false;

    explicit ImageState(const Editor& ed)
        : bytes(ed.MainHex.Data()),
          pieces(ed.ppm.pieces),
          split(ed.ppm.split),
          totalLength(ed.ppm.totalLength),
          freeOffset(ed.FreeOffset),
          ppmChanged(ed.PpmChanged),
          unsaved(ed.MainHex.HasUnsavedChanges()) {}
    bool operator==(const ImageState&) const = default;
};

// What the lists show (the rows, not which one is on show).
std::vector<std::string> Shown(const Editor& ed) {
    std::vector<std::string> s = {ed.tones.ringtoneCount,
                                  std::to_string(ed.graphics.bitmaps.size())};
    for (const auto& r : ed.tones.ringtones) s.push_back("tone " + r.name + r.id + r.length);
    for (const auto& r : ed.texts.languages) s.push_back("lang " + r.language + r.id + r.length);
    for (const auto& r : ed.texts.countries) s.push_back("cntr " + r.country + r.operators);
    for (const auto& r : ed.menu.tab.rows) s.push_back("menu " + r.name + r.record);
    for (const auto& f : ed.ani.frames) s.push_back("frame " + std::to_string(f.value));
    return s;
}

// The "Free Space" fields give the counts of the image: the MCU figure as it now stands,
// the PPM figure as the next save leaves it (that of the saved file opened anew).
void ExpectFreeSpaceShown(Editor& ed) {
    const std::string mcu = ed.mcuFreeField, ppm = ed.ppmFreeField;
    GetFreespace(ed);
    EXPECT_EQ(mcu, ed.mcuFreeField);
    ed.ppmFreeField = ppm;
    Session saved = ed;
    if (saved.PpmChanged && saved.ppm.split) UpdatePPM(saved);
    TempDir dir;
    WriteFile(dir.Path("saved.fls"), saved.MainHex.Data());
    Editor reopened;
    FakeUi ui;
    OpenPath(reopened, ui, dir.Path("saved.fls"));
    if (reopened.PhoneType() != ed.PhoneType()) ChoosePhoneType(reopened, ui, ed.PhoneType());
    EXPECT_EQ(ed.ppmFreeField, reopened.ppmFreeField);
}

struct Fixture {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    MemoryBitmapFiles files;

    explicit Fixture(SampleOptions o) { OpenSample(ed, ui, dir.Path("image.fls"), o); }
};

SampleOptions Family(int family, const char* designation = nullptr) {
    SampleOptions o;
    o.family = family;
    if (designation) {
        o.designation = DesignationIndex(designation);
        o.family = Designations()[static_cast<std::size_t>(o.designation)].index;
    }
    return o;
}

// Without the mark that ends the MCU free space, so that Adjust may add to it.
SampleOptions NoMark(SampleOptions o) {
    o.mcuEndMark = false;
    return o;
}

// A TONE chunk of the same family with its first ringtone gone, as a PPMChunk file.
std::string ShorterToneChunk(Fixture& f) {
    Fixture other(Family(4));
    DeleteRingtone(other.ed, other.ed.tones, other.ui, 0);
    const std::string path = f.dir.Path("tone.bin");
    WriteFile(path, HexToBytes(other.ed.ppm[Piece::TONE]));
    return path;
}

struct Case {
    const char* description;
    SampleOptions options;
    Tab tab;
    std::function<void(Fixture&)> prepare;
    std::function<void(Fixture&)> command;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"Delete ringtone", Family(4), Tab::Tones, nullptr,
         [](Fixture& f) { DeleteRingtone(f.ed, f.ed.tones, f.ui, 2); }},
        {"Delete language", Family(4), Tab::Languages, nullptr,
         [](Fixture& f) { DeleteLanguage(f.ed, f.ed.texts, f.ui, 1); }},
        {"Delete country", Family(4), Tab::Operators, nullptr,
         [](Fixture& f) { DeleteCountry(f.ed, f.ed.texts, f.ui, 0); }},
        {"Edit menu item", Family(4), Tab::Menu,
         [](Fixture& f) { ChooseMenuLanguage(f.ed, f.ed.menu, f.ed.texts, f.ui, 1); },
         [](Fixture& f) {
             f.ui.dialogs.On<TMenuEdit>() = [](TMenuEdit& d) {
                 d.fields[static_cast<std::size_t>(MenuField::FuncId)] = "abcd";
                 return !d.PressOk();
             };
             EditMenuItem(f.ed, f.ed.menu, f.ui, 0);
         }},
        {"Load bitmap", Family(8), Tab::Graphics,
         [](Fixture& f) { SelectBitmap(f.ed, f.ed.graphics, 3); },
         [](Fixture& f) {
             BitmapCanvas c = f.ed.graphics.Preview();
             for (auto& d : c.dark) d = d ? 0 : 1;
             f.files.files[f.dir.Path("b.bmp")] = c;
             f.ui.openAnswers.push_back(f.dir.Path("b.bmp"));
             LoadBitmap(f.ed, f.ed.graphics, f.ui, f.files);
         }},
        {"Lengthen animation", Family(4), Tab::Graphics,
         [](Fixture& f) { ShowAnimation(f.ed, f.ed.ani, f.ed.graphics, f.ui, 1); },
         [](Fixture& f) {
             for (int n = 4; n <= 6; ++n) FrameCountChanged(f.ed, f.ed.ani, f.ed.graphics, f.ui, n);
         }},
        {"Patch security code (Inbox)", Family(4), Tab::Tones, nullptr,
         [](Fixture& f) {
             f.ed.security.securityOption = 1;
             ASSERT_TRUE(PatchSecurityCode(f.ed, f.ed.security, f.ui)) << f.ui.Last();
         }},
        {"Patch Fading Leds", Family(0, "NSE-3"), Tab::Tones, nullptr,
         [](Fixture& f) {
             f.ui.dialogs.On<TFadeLeds>() = [](TFadeLeds& m) {
                 m.fadeIn = "0300";
                 m.fadeOut = "0600";
                 return !m.PressOk().has_value();
             };
             ASSERT_TRUE(FadingLeds(f.ed, f.ed.patches, f.ui)) << f.ui.Last();
         }},
        {"Adjust MCU free space", NoMark(Family(4)), Tab::Tones, nullptr,
         [](Fixture& f) {
             f.ui.textAnswers.push_back("16");
             AdjustSpace(f.ed, f.ui, AdjustTarget::MCU);
         }},
        {"Load all ringtones", Family(4), Tab::Tones, nullptr,
         [](Fixture& f) {
             f.ui.openAnswers.push_back(ShorterToneChunk(f));
             LoadAllRingtones(f.ed, f.ed.tones, f.ui);
         }},
    };
    return cases;
}

TEST(History, UndoAndRedoOfEveryKindOfEditAreExact) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.description);
        Fixture f(c.options);
        TabChanged(f.ed, f.ui, c.tab);
        if (c.prepare) c.prepare(f);
        ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
        const ImageState before(f.ed);
        const auto shownBefore = Shown(f.ed);

        RunStep(f.ed, c.description, [&] { c.command(f); });
        const ImageState after(f.ed);
        const auto shownAfter = Shown(f.ed);
        ASSERT_FALSE(after == before) << "the command changed nothing";
        ASSERT_EQ(f.ed.history.UndoCount(), 1u);

        EXPECT_EQ(UndoCommand(f.ed, f.ui), Format(kUndone, {c.description}));
        EXPECT_TRUE(ImageState(f.ed) == before);
        EXPECT_EQ(Shown(f.ed), shownBefore);
        ExpectFreeSpaceShown(f.ed);
        EXPECT_EQ(UndoCommand(f.ed, f.ui), kNothingToUndo);

        EXPECT_EQ(RedoCommand(f.ed, f.ui), Format(kRedone, {c.description}));
        EXPECT_TRUE(ImageState(f.ed) == after);
        EXPECT_EQ(Shown(f.ed), shownAfter);
        ExpectFreeSpaceShown(f.ed);
        EXPECT_EQ(RedoCommand(f.ed, f.ui), kNothingToRedo);
        EXPECT_TRUE(f.ui.told.empty() || f.ui.LastKind() == MessageKind::Info) << f.ui.Last();
    }
}

TEST(History, StepsUndoInOrderAndANewEditEndsRedo) {
    Fixture f(Family(4));
    const ImageState opened(f.ed);
    RunStep(f.ed, "one", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
    const ImageState one(f.ed);
    RunStep(f.ed, "two", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
    UndoCommand(f.ed, f.ui);
    EXPECT_TRUE(ImageState(f.ed) == one);
    UndoCommand(f.ed, f.ui);
    EXPECT_TRUE(ImageState(f.ed) == opened);
    EXPECT_FALSE(HasUnsavedWork(f.ed));

    RedoCommand(f.ed, f.ui);
    RunStep(f.ed, "three", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 1); });
    EXPECT_FALSE(f.ed.history.CanRedo());
    EXPECT_EQ(UndoCommand(f.ed, f.ui), "Undone: three");
    EXPECT_TRUE(ImageState(f.ed) == one);
}

TEST(History, NothingChangedIsNoStep) {
    Fixture f(Family(4));
    const Bytes same = f.ed.MainHex.ReadAt(0x100, 8);
    const std::vector<std::function<void()>> idle = {
        [&] { f.ed.MainHex.WriteAt(0x100, same); },           // the same bytes again
        [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, -1); },  // no row
        [&] { AdjustSpace(f.ed, f.ui, AdjustTarget::MCU); },  // prompt cancelled
        [&] { TabChanged(f.ed, f.ui, Tab::Languages); },      // reading only
        [&] { throw UserError("refused before anything changed"); },
    };
    for (const auto& body : idle) {
        try {
            RunStep(f.ed, "idle", body);
        } catch (const UserError&) {
        }
    }
    EXPECT_EQ(f.ed.history.StepCount(), 0u);
    EXPECT_EQ(UndoCommand(f.ed, f.ui), kNothingToUndo);

    // A command that fails half-way is undone like any other.
    EXPECT_THROW(RunStep(f.ed, "half",
                         [&] {
                             f.ed.MainHex.WriteAt(0x100, Bytes(8, 0x5A));
                             throw UserError("stopped");
                         }),
                 UserError);
    EXPECT_EQ(UndoCommand(f.ed, f.ui), "Undone: half");
    EXPECT_EQ(f.ed.MainHex.ReadAt(0x100, 8), same);
}

TEST(History, OpeningForgetsEverything) {
    Fixture f(Family(4));
    RunStep(f.ed, "one", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
    RunStep(f.ed, "two", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
    UndoCommand(f.ed, f.ui);
    ASSERT_TRUE(f.ed.history.CanUndo() && f.ed.history.CanRedo());
    // Opened inside a step, as the window runs every command: the open is no step either.
    RunStep(f.ed, "open", [&] { OpenPath(f.ed, f.ui, f.dir.Path("image.fls")); });
    EXPECT_EQ(f.ed.history.StepCount(), 0u);
    EXPECT_FALSE(f.ed.history.CanUndo() || f.ed.history.CanRedo());
    EXPECT_FALSE(HasUnsavedWork(f.ed));
}

TEST(History, StaysWithinItsBounds) {
    Fixture f(Family(4));
    Editor& ed = f.ed;
    const Bytes original = ed.MainHex.Data();
    constexpr std::int32_t kRun = 10000;
    History h(100, 64 * 1024);  // a 64 KiB bound: three steps of 2 x 10000 bytes fit
    for (int i = 0; i < 6; ++i) {
        h.Begin(ed);
        ed.MainHex.WriteAt(0x1000 + i * kRun, Bytes(kRun, static_cast<std::uint8_t>(i + 1)));
        ASSERT_TRUE(h.Commit(ed, "step " + std::to_string(i)));
        EXPECT_LE(h.Footprint(), 64u * 1024);
    }
    EXPECT_EQ(h.StepCount(), 3u);
    EXPECT_EQ(h.Step(0).description, "step 3");
    while (h.Undo(ed)) {
    }
    // The oldest steps are gone; what is kept still undoes exactly.
    const Bytes& now = ed.MainHex.Data();
    EXPECT_EQ(now[0x1000 + 2 * kRun], 3);
    EXPECT_TRUE(std::equal(now.begin() + 0x1000 + 3 * kRun, now.begin() + 0x1000 + 6 * kRun,
                           original.begin() + 0x1000 + 3 * kRun));

    History counted;  // the default bound: 100 steps
    for (int i = 0; i < 150; ++i) {
        counted.Begin(ed);
        ed.MainHex.WriteAt(0x1000, Bytes{static_cast<std::uint8_t>(i)});
        counted.Commit(ed, "byte");
    }
    EXPECT_EQ(counted.StepCount(), History::kMaxSteps);

    // A step larger than the whole bound is not kept at all.
    History small(100, 1024);
    small.Begin(ed);
    ed.MainHex.WriteAt(0x1000, Bytes(4096, 0x77));
    small.Commit(ed, "big");
    EXPECT_EQ(small.StepCount(), 0u);
    EXPECT_EQ(small.Footprint(), 0u);
}

TEST(History, SavingMovesTheSavePointAndUndoAfterItSavesTheUndoneImage) {
    Fixture f(Family(4));
    const Bytes file = ReadFile(f.dir.Path("image.fls"));
    RunStep(f.ed, "delete", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
    EXPECT_TRUE(HasUnsavedWork(f.ed));
    f.ui.saveAnswers.push_back(f.dir.Path("edited.fls"));
    ASSERT_TRUE(SaveImage(f.ed, f.ui));
    EXPECT_FALSE(HasUnsavedWork(f.ed));

    // Taken back after the save: the copy written into the image must be written again.
    UndoCommand(f.ed, f.ui);
    EXPECT_TRUE(HasUnsavedWork(f.ed));
    f.ui.saveAnswers.push_back(f.dir.Path("undone.fls"));
    ASSERT_TRUE(SaveImage(f.ed, f.ui));
    EXPECT_EQ(ReadFile(f.dir.Path("undone.fls")), file);
    RedoCommand(f.ed, f.ui);
    EXPECT_TRUE(HasUnsavedWork(f.ed));
    UndoCommand(f.ed, f.ui);
    EXPECT_FALSE(HasUnsavedWork(f.ed));
}

// A 48-byte ringtone file in the test's folder.
std::string NewTone(Fixture& f) {
    const Bytes tone = ToneRecord("00000077", "TONE", "Added", "0A01" + std::string(30, '3'));
    EXPECT_EQ(tone.size(), 48u);
    const std::string path = f.dir.Path("added.re");
    WriteFile(path, tone);
    return path;
}

bool Save(Fixture& f, const std::string& name, bool repair) {
    f.ui.saveAnswers.push_back(f.dir.Path(name));
    f.ui.checksumAnswers.push_back(repair);
    return SaveImage(f.ed, f.ui);
}

// Undo after a save gives back every byte the state had before, the PPM copy and its cut
// state too, so the next save writes exactly the image of that state; redo gives back the
// saved state byte for byte. Edits that make chunks longer and shorter, with and without
// the checksums repaired, and with an Adjust that moves the PPM area in between.
TEST(History, UndoPastASaveIsExact) {
    struct Edit {
        const char* what;
        std::function<void(Fixture&)> run;
    };
    const std::vector<Edit> edits = {
        {"add ringtone",
         [](Fixture& f) {
             f.ui.openAnswers.push_back(NewTone(f));
             AddRingtone(f.ed, f.ed.tones, f.ui);
         }},
        {"delete ringtone", [](Fixture& f) { DeleteRingtone(f.ed, f.ed.tones, f.ui, 1); }},
        {"delete language",
         [](Fixture& f) {
             TabChanged(f.ed, f.ui, Tab::Languages);
             DeleteLanguage(f.ed, f.ed.texts, f.ui, 1);
         }},
    };
    for (const Edit& e : edits) {
        for (const bool repair : {false, true}) {
            for (const bool adjust : {false, true}) {
                SCOPED_TRACE(std::string(e.what) + (repair ? ", repaired" : "") +
                             (adjust ? ", adjusted" : ""));
                Fixture f(NoMark(Family(4)));
                const Bytes opened = ReadFile(f.dir.Path("image.fls"));
                const ImageState before(f.ed);
                RunStep(f.ed, e.what, [&] { e.run(f); });
                ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
                ASSERT_TRUE(Save(f, "one.fls", repair)) << f.ui.Last();
                const ImageState saved(f.ed);
                if (adjust) {
                    f.ui.textAnswers.push_back("1000");
                    RunStep(f.ed, "adjust", [&] { AdjustSpace(f.ed, f.ui, AdjustTarget::MCU); });
                    ASSERT_TRUE(Save(f, "two.fls", repair));
                    UndoCommand(f.ed, f.ui);
                    EXPECT_TRUE(ImageState(f.ed).bytes == saved.bytes);
                }
                UndoCommand(f.ed, f.ui);
                const ImageState undone(f.ed);
                EXPECT_TRUE(undone.bytes == before.bytes);
                EXPECT_EQ(undone.pieces, before.pieces);
                EXPECT_EQ(undone.totalLength, before.totalLength);
                EXPECT_EQ(undone.ppmChanged, before.ppmChanged);
                ExpectFreeSpaceShown(f.ed);

                // Saved without repair, the undone image is the opened file itself.
                ASSERT_TRUE(Save(f, "undone.fls", false));
                EXPECT_TRUE(ReadFile(f.dir.Path("undone.fls")) == opened);
                RedoCommand(f.ed, f.ui);
                EXPECT_TRUE(ImageState(f.ed).bytes == saved.bytes);
                EXPECT_EQ(ImageState(f.ed).pieces, saved.pieces);
                ExpectFreeSpaceShown(f.ed);
                // The area freed behind the chunks is free again: Adjust may take it.
                f.ui.textAnswers.push_back("1000");
                EXPECT_NO_THROW(AdjustSpace(f.ed, f.ui, AdjustTarget::MCU));
            }
        }
    }
}

// Consecutive saves of a chunk that grows and then shrinks leave no tail of the longer copy
// behind the shorter one, and the free figures follow every edit and every save.
TEST(History, SavesOfShrinkingChunksLeaveNoStaleTail) {
    Fixture f(Family(4));
    const Bytes opened = ReadFile(f.dir.Path("image.fls"));
    const std::int32_t ppmFree = StrToInt(f.ed.ppmFreeField);
    f.ui.openAnswers.push_back(NewTone(f));
    RunStep(f.ed, "add", [&] { AddRingtone(f.ed, f.ed.tones, f.ui); });
    EXPECT_EQ(StrToInt(f.ed.ppmFreeField), ppmFree - 48);
    ExpectFreeSpaceShown(f.ed);
    ASSERT_TRUE(Save(f, "one.fls", false));
    EXPECT_EQ(StrToInt(f.ed.ppmFreeField), ppmFree - 48);
    ExpectFreeSpaceShown(f.ed);
    const int last = static_cast<int>(f.ed.tones.ringtones.size()) - 1;
    RunStep(f.ed, "delete", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, last); });
    EXPECT_EQ(StrToInt(f.ed.ppmFreeField), ppmFree);
    ExpectFreeSpaceShown(f.ed);
    ASSERT_TRUE(Save(f, "two.fls", false));
    EXPECT_TRUE(ReadFile(f.dir.Path("two.fls")) == opened);
}

// With the checksum question answered OK, the image in memory holds the repaired checksums:
// a later save whose question is cancelled writes them, not the ones from the open.
TEST(History, RepairedChecksumsReachTheImageInMemory) {
    Fixture f(Family(4));
    RunStep(f.ed, "delete", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
    ASSERT_TRUE(Save(f, "one.fls", true));
    const Bytes one = ReadFile(f.dir.Path("one.fls"));
    EXPECT_TRUE(ChecksumsVerify(one));
    EXPECT_TRUE(f.ed.MainHex.Data() == one);
    EXPECT_FALSE(HasUnsavedWork(f.ed));
    const Bytes opened = ReadFile(f.dir.Path("image.fls"));
    ASSERT_NE(GetBE32(&one[one.size() - 4]), GetBE32(&opened[opened.size() - 4]));
    RunStep(f.ed, "delete", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
    ASSERT_TRUE(Save(f, "two.fls", false));
    const Bytes two = ReadFile(f.dir.Path("two.fls"));
    EXPECT_EQ(GetBE16(&two[34]), GetBE16(&one[34]));
    EXPECT_EQ(GetBE32(&two[two.size() - 4]), GetBE32(&one[one.size() - 4]));
}

TEST(History, UnsavedChangesAreAskedAbout) {
    struct Answer {
        std::optional<SaveChoice> choice;  // nothing: no question expected
        std::optional<std::string> savePath;
        bool goOn;
        bool written;
    };
    const std::vector<Answer> answers = {
        {SaveChoice::Cancel, std::nullopt, false, false},
        {SaveChoice::Discard, std::nullopt, true, false},
        {SaveChoice::Save, "saved.fls", true, true},
        {SaveChoice::Save, std::nullopt, false, false},  // the save dialog cancelled
    };
    for (const Answer& a : answers) {
        Fixture f(Family(4));
        EXPECT_TRUE(SettleUnsaved(f.ed, f.ui, kSaveBeforeOpen));  // nothing to lose yet
        EXPECT_TRUE(f.ui.saveChangesAsked.empty());

        RunStep(f.ed, "delete", [&] { DeleteRingtone(f.ed, f.ed.tones, f.ui, 0); });
        f.ui.saveChangesAnswers.push_back(*a.choice);
        if (a.savePath)
            f.ui.saveAnswers.push_back(f.dir.Path(*a.savePath));
        else
            f.ui.saveAnswers.push_back(std::nullopt);
        EXPECT_EQ(SettleUnsaved(f.ed, f.ui, kSaveBeforeClose), a.goOn);
        EXPECT_EQ(f.ui.saveChangesAsked, std::vector<std::string>{kSaveBeforeClose});
        EXPECT_EQ(std::filesystem::exists(f.dir.Path("saved.fls")), a.written);
        EXPECT_EQ(HasUnsavedWork(f.ed), !a.written);
    }
}

TEST(History, StepsAreDescribedInTheUsersWords) {
    Fixture f(Family(4));
    TabChanged(f.ed, f.ui, Tab::Operators);
    const std::string tone = f.ed.tones.ringtones.at(1).name;
    const std::string country = f.ed.texts.countries.at(0).country;
    EXPECT_EQ(DescribeStep(f.ed, "toneDelete", 1), "Delete ringtone \"" + tone + "\"");
    EXPECT_EQ(DescribeStep(f.ed, "operatorEdit", 0), "Edit operators of \"" + country + "\"");
    f.ed.security.securityOption = 2;
    EXPECT_EQ(DescribeStep(f.ed, "securityPatch", -1), "Patch security code (Outbox)");
    f.ed.tones.alertKind = 5;
    EXPECT_EQ(DescribeStep(f.ed, "alertTone", -1), "Change alert tone \"Alarm Clock\"");
    f.ed.patches.miscEntry = 1;
    EXPECT_EQ(DescribeStep(f.ed, "misc", -1), "Patch Inverted LCD");
    // A row that is not there names nothing rather than failing.
    EXPECT_EQ(DescribeStep(f.ed, "toneDelete", 99), "Delete ringtone \"\"");
}

}  // namespace
}  // namespace brivant::test
