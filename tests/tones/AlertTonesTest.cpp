#include <gtest/gtest.h>

#include "core/Search.h"
#include "core/UserError.h"
#include "image/Address.h"
#include "image/McuSpace.h"
#include "image/PhoneTypes.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToneTestSupport.h"
#include "tones/ToptionFrm.h"

namespace brivant::test {
namespace {

// A scripted Options dialog: the count typed, then "&OK".
std::function<bool(ToptionFrm&)> Options(const std::string& count, bool ascending = false) {
    return [count, ascending](ToptionFrm& m) {
        m.count = count;
        m.ascending = ascending;
        return !m.PressOk().has_value();
    };
}

// The body of a tone file is 0A01 plus `extra` note bytes.
std::string Body(std::size_t extra, const std::string& note = "31") {
    std::string b = "0A01";
    for (std::size_t i = 0; i < extra; ++i) b += note;
    return b;
}

std::int32_t AnchorB(Editor& ed) {
    ed.MainHex.SetSelectionStart(1);
    FindOffSet1(ed, "06070B");
    const std::int32_t a = ed.FoundOffset;
    ed.MainHex.SetSelectionStart(a);
    FindOffSet1(ed, AlertTableFor(ed.PhoneType())->anchorWord);
    return ed.FoundOffset;
}

std::uint32_t Entry(Editor& ed, int kind) {
    return GetBE32(&ed.MainHex.Data()[static_cast<std::size_t>(LocateAlertEntry(ed, kind))]);
}

TEST(AlertSequence, LengthsAndEndings) {
    const std::string normal2 = "0002FD0A800502";
    // 7 + 9 + 2 = 18 bytes: two filler bytes.
    const std::string s20 = BuildAlertSequence(kStandard, normal2, Body(7));
    EXPECT_EQ(s20.size(), 40u);
    EXPECT_EQ(s20.substr(s20.size() - 8), "060B46C0");
    // 5 + 5 + 1 = 11: one.
    const std::string s12 = BuildAlertSequence(kStartShut, "0002FD0A80", Body(3));
    EXPECT_EQ(s12, "0002FD0A80" + Body(3) + "0BC0");
    // 7 + 11 + 2 = 20, already whole words: the ending grows to keep them whole.
    const std::string s24 = BuildAlertSequence(kStandard, normal2, Body(9));
    EXPECT_EQ(s24, normal2 + Body(9) + "0AFE060B46C0");
    EXPECT_EQ(BuildAlertSequence(kStartShut, "0002FD0A80", Body(4)),
              "0002FD0A80" + Body(4) + "0AFE0B46C0");
    const std::string err = BuildAlertSequence(kSystemError, normal2, Body(9));
    EXPECT_EQ(err.substr(err.size() - 12), "060AFE0B46C0");
    EXPECT_EQ(err.size(), 48u);
    // 5 + 4 + 2 = 11 -> C0; 0A0A is taken out before counting.
    EXPECT_EQ(BuildAlertSequence(kSpecial, "0002FD0A80", "0A010A0A0A0A3132"),
              "0002FD0A800A0131320"
              "60BC0");
}

TEST(AlertRecord, RetrieveLayout) {
    EXPECT_EQ(BuildAlertRecord(kStandard, "800502414206"),
              "0000000100000028"
              "53544E4400000000085374616E64617264"
              "0002FC09800502414206070BFFFFFF");
}

TEST(OptionsDialog, CountsAndPrefixes) {
    ToptionFrm m;
    EXPECT_FALSE(m.CanClose());
    EXPECT_EQ(m.count, "2");
    EXPECT_FALSE(m.ascending);
    for (const char* bad : {"21", "0", "-3"}) {
        m.count = bad;
        EXPECT_EQ(m.PressOk(),
                  std::optional<std::string>("Please enter repeat times from 1 to 20 only"));
        EXPECT_TRUE(m.countNeedsFocus);
        EXPECT_FALSE(m.CanClose());
    }
    m.count = "x";
    EXPECT_EQ(m.PressOk(), std::optional<std::string>("'x' is not a valid integer value"));
    EXPECT_FALSE(m.CanClose());

    m.count = "20";
    EXPECT_FALSE(m.PressOk().has_value());
    EXPECT_EQ(m.Prefix(), "0002FD0A800520");
    EXPECT_TRUE(m.CanClose());
    m.count = "5";
    m.ascending = true;
    EXPECT_FALSE(m.PressOk().has_value());
    EXPECT_EQ(m.Prefix(), "0002FD090A800505");
    // A later refusal keeps the prefix already given.
    m.count = "99";
    EXPECT_TRUE(m.PressOk().has_value());
    EXPECT_EQ(m.Prefix(), "0002FD090A800505");
}

struct AlertFixture : SampleFixture {
    using SampleFixture::SampleFixture;
    std::string ToneFile(const std::string& body, const std::string& end = "070BFFFF") {
        return File("tone" + std::to_string(++files) + ".re",
                    ToneRecord("00000001", "TONE", "Tone", body, end));
    }
    void Change(int kind, const std::string& body) {
        ui.openAnswers.push_back(ToneFile(body));
        AlertToneDoIt(ed, ed.tones, ui, kind, true);
    }
    Bytes Retrieve(int kind) {
        const std::string out = dir.Path("out" + std::to_string(++files) + ".re");
        ui.saveAnswers.push_back(out);
        AlertToneDoIt(ed, ed.tones, ui, kind, false);
        return ReadFile(out);
    }
    int files = 0;
};

// Change then Retrieve gives the body back, on every family that keeps its alert tones in
// the MCU, for every kind it has.
TEST(AlertTones, ChangeAndRetrieveOnEveryMcuFamily) {
    for (int family = 1; family <= 17; ++family) {
        AlertFixture f(family);
        f.ui.dialogs.On<ToptionFrm>() = Options("3");
        for (int kind = 0; kind < kAlertKindCount; ++kind) {
            if (AlertTableFor(family)->offsets[static_cast<std::size_t>(kind)] < 0) continue;
            // The sample's own tone first: a real sequence comes back as a tone record.
            const Bytes old = f.Retrieve(kind);
            ASSERT_GE(old.size(), 40u) << family << " " << kind;
            EXPECT_EQ(GetBE32(&old[4]), old.size());

            const std::int32_t o = f.ed.FreeOffset;
            const std::string body =
                Body(4 + static_cast<std::size_t>(kind), "4" + std::to_string(kind));
            f.Change(kind, body);
            ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
            EXPECT_EQ(Entry(f.ed, kind), static_cast<std::uint32_t>(o) + 0x200000u);
            const std::string back = BytesToHex(f.Retrieve(kind));
            const AlertKindInfo& k = AlertKinds()[static_cast<std::size_t>(kind)];
            const std::string prefix = k.fixedPrefix ? k.fixedPrefix : "0002FD0A800503";
            // The stored prefix's first word is left out; the rest comes back after 0002FC09.
            EXPECT_NE(back.find("0002FC09" + prefix.substr(8) + body), std::string::npos)
                << family << " " << kind << " " << back;
        }
        EXPECT_TRUE(f.ed.MainHex.Modified());
        EXPECT_FALSE(f.ed.PpmChanged);
    }
}

// What Retrieve writes loads back through Change to the very bytes it came from, whatever
// ending the sequence got; bytes that look like 0A0A only across two bytes (10 A0 A1) stay.
TEST(AlertTones, AnExportedToneLoadsBackToTheSameBytes) {
    for (int family : {1, 2, 4, 9, 13, 17}) {
        AlertFixture f(family);
        f.ui.dialogs.On<ToptionFrm>() = Options("3");
        for (int kind = 0; kind < kAlertKindCount; ++kind) {
            if (AlertTableFor(family)->offsets[static_cast<std::size_t>(kind)] < 0) continue;
            for (std::size_t extra = 0; extra < 4; ++extra) {
                const std::string where = std::to_string(family) + "/" + std::to_string(kind) +
                                          "/" + std::to_string(extra);
                f.Change(kind, Body(extra) + "10A0A1");
                ASSERT_TRUE(f.ui.told.empty()) << where << " " << f.ui.Last();
                const auto first = static_cast<std::int32_t>(ToImageOffset(Entry(f.ed, kind)));
                const Bytes stored = f.ed.MainHex.ReadAt(first, f.ed.FreeOffset - first);
                EXPECT_NE(BytesToHex(stored).find("10A0A1"), std::string::npos) << where;

                f.ui.openAnswers.push_back(f.File("back.re", f.Retrieve(kind)));
                AlertToneDoIt(f.ed, f.ed.tones, f.ui, kind, true);
                ASSERT_TRUE(f.ui.told.empty()) << where << " " << f.ui.Last();
                const auto second = static_cast<std::int32_t>(ToImageOffset(Entry(f.ed, kind)));
                EXPECT_EQ(second, first + static_cast<std::int32_t>(stored.size())) << where;
                EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(second, f.ed.FreeOffset - second)),
                          BytesToHex(stored))
                    << where;
            }
        }
    }
}

TEST(AlertTones, SequencesFollowEachOtherAndFreeSpaceShrinks) {
    AlertFixture f(4);
    f.ui.dialogs.On<ToptionFrm>() = Options("2");
    const std::int32_t o = f.ed.FreeOffset;
    const std::string freeBefore = f.ed.mcuFreeField;
    f.Change(kStandard, Body(7));  // 20 bytes
    EXPECT_EQ(f.ed.FreeOffset, o + 20);
    EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(o, 20)), "0002FD0A800502" + Body(7) + "060B46C0");
    f.Change(kStartShut, Body(3));  // 12 bytes, fixed prefix, no dialog
    EXPECT_EQ(f.ed.FreeOffset, o + 32);
    EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(o + 20, 12)), "0002FD0A80" + Body(3) + "0BC0");
    EXPECT_EQ(Entry(f.ed, kStartShut), static_cast<std::uint32_t>(o + 20) + 0x200000u);
    EXPECT_EQ(std::stoi(f.ed.mcuFreeField), std::stoi(freeBefore) - 32);
}

TEST(AlertTones, TheToneEndsAtTheKindsEndPattern) {
    AlertFixture f(4);
    f.ui.dialogs.On<ToptionFrm>() = Options("2");
    const std::int32_t o = f.ed.FreeOffset;
    // 070B inside the body: Standard looks for 070BFFFF first and would take it into the
    // tone, whose 0B would then end the tone when it is read back: refused, nothing written.
    const Bytes before = f.ed.MainHex.Data();
    const std::string error = ErrorOf([&] { f.Change(kStandard, Body(2) + "070B"); });
    EXPECT_NE(error.find("cannot become the Standard alert tone"), std::string::npos) << error;
    EXPECT_EQ(f.ed.MainHex.Data(), before);
    EXPECT_EQ(f.ed.FreeOffset, o);
    // No 070BFFFF at all: the first 070B ends it.
    f.ui.openAnswers.push_back(f.ToneFile(Body(2), "070B1111"));
    AlertToneDoIt(f.ed, f.ed.tones, f.ui, kAscending, true);
    EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(o, 16)), "0002FD0A800502" + Body(2) + "060BC046C0");
}

TEST(AlertTones, PointerBytesOfTheWorkedOffsets) {
    {
        AlertFixture f(2);  // 61XX
        f.ui.dialogs.On<ToptionFrm>() = Options("2");
        // A write at FreeOffset takes only free bytes: make the worked offset free first.
        f.ed.MainHex.WriteAt(0x5A000, Bytes(64, 0xFF));
        f.ed.FreeOffset = 0x5A000;
        f.Change(kStandard, Body(7));
        const std::int32_t b = AnchorB(f.ed);
        EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(b + 252, 4)), "0025A000");
    }
    {
        SampleOptions o;
        o.size = 4 * 1024 * 1024;
        o.mcuEndMark = false;
        AlertFixture f(4, o);  // 3310
        f.ui.dialogs.On<ToptionFrm>() = Options("2");
        f.ed.FreeOffset = 0x1F0010;
        f.Change(kStandard, Body(2) + "41");
        EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(LocateAlertEntry(f.ed, kStandard), 4)),
                  "003F0010");
        EXPECT_EQ(f.ed.FreeOffset, 0x1F0010 + 16);
        const std::string back = BytesToHex(f.Retrieve(kStandard));
        // The tone comes back without the 06 the writer put before its closing 0B.
        EXPECT_NE(back.find("0002FC09800502" + Body(2) + "41" + "070B"), std::string::npos) << back;
    }
}

TEST(AlertTones, RetrieveCutsAtTheFirst0B) {
    AlertFixture f(4);
    const std::int32_t at = 0x1000;
    f.ed.MainHex.WriteAt(at, HexToBytes("0002FD0A800502414206"
                                        "0B"
                                        "C0"));
    Bytes pointer(4);
    PutBE32(pointer.data(), at + 0x200000u);
    f.ed.MainHex.WriteAt(LocateAlertEntry(f.ed, kAlarmClock), pointer);
    const Bytes record = f.Retrieve(kAlarmClock);
    EXPECT_EQ(f.ui.saveAsked.back().title, "Save Tone As...");
    EXPECT_EQ(f.ui.saveAsked.back().filter, "Tone Chunks (*.re) | *.re");
    EXPECT_EQ(BytesToHex(record),
              "0000000100000028"
              "414C524D000000000B416C61726D20436C6F636B"
              "0002FC09800502414206070B");
}

TEST(AlertTones, AlarmClockOf8855SitsBelowItsCalendar) {
    AlertFixture f(14);
    f.ui.dialogs.On<ToptionFrm>() = Options("2");
    EXPECT_EQ(LocateAlertEntry(f.ed, kAlarmClock), AnchorB(f.ed) + 116);
    EXPECT_EQ(LocateAlertEntry(f.ed, kCalendar), AnchorB(f.ed) + 124);
}

TEST(AlertTones, GuardsOfDoIt) {
    for (int family : {1, 3}) {
        AlertFixture f(family);
        const Bytes before = f.ed.MainHex.Data();
        AlertToneDoIt(f.ed, f.ed.tones, f.ui, kCalendar, true);
        AlertToneDoIt(f.ed, f.ed.tones, f.ui, kCalendar, false);
        EXPECT_EQ(f.ui.Messages(),
                  (std::vector<std::string>{kCalendarUnsupported, kCalendarUnsupported}));
        EXPECT_TRUE(f.ui.openAsked.empty());
        EXPECT_EQ(f.ed.MainHex.Data(), before);
    }
    Editor ed;
    FakeUi ui;
    AlertToneDoIt(ed, ed.tones, ui, kStandard, true);
    EXPECT_EQ(ui.Last(), kChooseModel);
}

// Refusals: nothing is written, FreeOffset stays.
struct Unchanged {
    Bytes image;
    std::int32_t free;
    explicit Unchanged(const Editor& ed) : image(ed.MainHex.Data()), free(ed.FreeOffset) {}
    void Expect(const Editor& ed) const {
        EXPECT_TRUE(ed.MainHex.Data() == image);
        EXPECT_EQ(ed.FreeOffset, free);
    }
};

TEST(AlertTones, AnImageWithoutTheTableIsRefusedBeforeWriting) {
    AlertFixture f(4);
    f.ui.dialogs.On<ToptionFrm>() = Options("2");
    f.ed.MainHex.SetSelectionStart(1);
    FindOffSet1(f.ed, "06070B");
    f.ed.MainHex.WriteAt(f.ed.FoundOffset, HexToBytes("808080"));
    const Unchanged u(f.ed);
    f.ui.openAnswers.push_back(f.ToneFile(Body(7)));
    try {
        AlertToneDoIt(f.ed, f.ed.tones, f.ui, kStandard, true);
        ADD_FAILURE() << "no error";
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), kNoAlertTable);
    }
    u.Expect(f.ed);
    EXPECT_THROW(f.Retrieve(kStandard), UserError);
}

TEST(AlertTones, ASequenceMustFitTheFreeSpaceLeft) {
    AlertFixture f(4);
    f.ui.dialogs.On<ToptionFrm>() = Options("2");
    // 20 bytes into 19 left before the end mark: refused; into exactly 20: written.
    f.ed.FreeOffset = f.sample.layout.mcuMark - 19;
    Unchanged u(f.ed);
    f.Change(kStandard, Body(7));
    EXPECT_EQ(f.ui.Last(), kNoMcuSpace);
    u.Expect(f.ed);
    f.ui.told.clear();
    f.ed.FreeOffset = f.sample.layout.mcuMark - 20;
    f.Change(kStandard, Body(7));
    EXPECT_TRUE(f.ui.told.empty());
    EXPECT_EQ(f.ed.FreeOffset, f.sample.layout.mcuMark);

    // No free space found at all, or one that lies beyond the PPM start.
    for (std::int32_t bad : {-1, f.sample.layout.ppmStart + 4}) {
        f.ui.told.clear();
        f.ed.FreeOffset = bad;
        const Unchanged v(f.ed);
        f.Change(kStandard, Body(7));
        EXPECT_EQ(f.ui.Last(), kNoMcuSpace);
        v.Expect(f.ed);
    }
}

TEST(AlertTones, WithoutAMarkTheFreeSpaceEndsBeforeThePpm) {
    SampleOptions o;
    o.mcuEndMark = false;
    AlertFixture f(7, o);
    f.ui.dialogs.On<ToptionFrm>() = Options("2");
    f.ed.FreeOffset = f.sample.layout.ppmStart - 20;
    f.Change(kStandard, Body(7));
    EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
    f.ed.FreeOffset = f.sample.layout.ppmStart - 16;
    const Unchanged u(f.ed);
    f.Change(kStandard, Body(7));
    EXPECT_EQ(f.ui.Last(), kNoMcuSpace);
    u.Expect(f.ed);
}

TEST(AlertTones, BrokenToneFilesAndCancelledDialogsChangeNothing) {
    AlertFixture f(10);
    const Unchanged u(f.ed);
    AlertToneDoIt(f.ed, f.ed.tones, f.ui, kStandard, true);   // open dialog cancelled
    AlertToneDoIt(f.ed, f.ed.tones, f.ui, kStandard, false);  // save dialog cancelled
    f.ui.openAnswers.push_back(f.ToneFile(Body(3)));
    AlertToneDoIt(f.ed, f.ed.tones, f.ui, kStandard, true);  // Options closed at first use
    EXPECT_FALSE(f.ed.tones.Options.HasPrefix());
    f.ui.dialogs.On<ToptionFrm>() = Options("21");
    f.ui.openAnswers.push_back(f.ToneFile(Body(3)));
    AlertToneDoIt(f.ed, f.ed.tones, f.ui, kStandard, true);  // only a refused count
    // No 0A01, and no 070B after it.
    f.ui.openAnswers.push_back(
        f.File("no-start.re", HexToBytes("0000000100000010313131310B0B0B0B")));
    EXPECT_THROW(AlertToneDoIt(f.ed, f.ed.tones, f.ui, kStandard, true), UserError);
    f.ui.openAnswers.push_back(f.File("no-end.re", HexToBytes("00000001000000100A0131313131FFFF")));
    EXPECT_THROW(AlertToneDoIt(f.ed, f.ed.tones, f.ui, kStandard, true), UserError);
    EXPECT_TRUE(f.ui.told.empty());
    u.Expect(f.ed);
    EXPECT_FALSE(f.ed.MainHex.Modified());
}

TEST(AlertTones, TheOptionsDialogKeepsItsPrefixAndCancelWritesNothing) {
    AlertFixture f(4);
    const std::int32_t o = f.ed.FreeOffset;
    f.ui.dialogs.On<ToptionFrm>() = Options("12", true);
    f.Change(kSpecial, Body(7));
    EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(o, 8)), "0002FD090A800512");
    // Cancelled the second time (button, Escape or close box): the change is not made, and
    // the dialog still offers the last answer.
    const Bytes before = f.ed.MainHex.Data();
    const std::int32_t free = f.ed.FreeOffset;
    f.ui.dialogs.On<ToptionFrm>() = [](ToptionFrm&) { return false; };
    f.Change(kBeepOnce, Body(7));
    EXPECT_EQ(f.ed.MainHex.Data(), before);
    EXPECT_EQ(f.ed.FreeOffset, free);
    EXPECT_EQ(f.ed.tones.Options.Prefix(), "0002FD090A800512");
}

// 62XX/7110 keeps its alert tones in fixed rows of the ringtone list.
TEST(AlertTones, WideFamilyUsesFixedCatalogRows) {
    for (int rows : {98, 40}) {
        SampleOptions o;
        o.ringtones = rows;
        AlertFixture f(18, o);
        f.ed.activeTab = Tab::Menu;
        const Bytes standard = f.Retrieve(kStandard);
        EXPECT_EQ(f.ed.activeTab, Tab::Tones);
        const int row = rows == 98 ? 25 : 23;
        EXPECT_EQ(f.ed.tones.selectedRingtone, row);
        EXPECT_EQ(f.ui.saveAsked.back().defaultName, "STND");
        EXPECT_EQ(BytesToHex(Bytes(standard.begin(), standard.begin() + 4)),
                  f.ed.tones.ringtones[static_cast<std::size_t>(row)].id);

        f.ui.openAnswers.push_back(
            f.File("w.re",
                   HexToBytes("00000005000000205453543100000000024142000002FC090A01AABB070BFFFF")));
        AlertToneDoIt(f.ed, f.ed.tones, f.ui, kSystemError, true);
        EXPECT_EQ(f.ed.tones.selectedRingtone, 6);
        EXPECT_EQ(f.ed.tones.ringtones[6].id, "00000007");
        // ID 7: one of the phone's own tones in the full list (44 bytes), a user tone in
        // the short one (36 bytes).
        EXPECT_EQ(f.ed.tones.ringtones[6].length, rows == 98 ? "0000002C" : "00000024");
        EXPECT_TRUE(f.ed.PpmChanged);
        EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
    }
}

}  // namespace
}  // namespace brivant::test
