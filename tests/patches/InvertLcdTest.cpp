#include <gtest/gtest.h>

#include "core/UserError.h"
#include "image/McuSpace.h"
#include "patches/CodePatch.h"
#include "patches/InvertLCD.h"
#include "patches/Miscellaneous.h"
#include "patches/PatchState.h"
#include "patches/PatchTestSupport.h"

namespace brivant::test {
namespace {

std::function<bool(TInvertFrm&)> Choose(int mode) {
    return [mode](TInvertFrm& m) {
        m.choice = mode;
        m.PressOk();
        return true;
    };
}

std::int64_t Find(const Bytes& image, const std::string& hex, std::int64_t from = 1) {
    const Bytes p = HexToBytes(hex);
    const auto it = std::search(image.begin() + from, image.end(), p.begin(), p.end());
    return it == image.end() ? -1 : it - image.begin();
}

TEST(InvertLcd, NonBlinkingCallsThePayloadOnEveryFamily) {
    for (const char* designation : {"NSE-1", "NSE-8", "NHM-9", "NSM-3", "NPE-3", "NSE-5"}) {
        SCOPED_TRACE(designation);
        PatchFixture f(designation);
        f.ed.patches.miscEntry = 1;
        f.ui.dialogs.On<TInvertFrm>() = Choose(0);
        const std::int32_t i = f.sample.layout.freeOffset;
        const std::int64_t s1 = Find(f.before, kLcdHookHex) + 8, s2 = s1 + 32;
        const std::int64_t oldTarget = f.OldTarget(s2);

        MiscDoIt(f.ed, f.ed.patches, f.ui);
        EXPECT_TRUE(f.ui.told.empty()) << f.ui.Last();
        EXPECT_EQ(f.ed.FreeOffset, i + 12);
        EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(i, 12)).substr(0, 8), "B50043C0");
        EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(i + 8, 4)), "BD004C60");
        EXPECT_EQ(f.Target(i + 4), oldTarget);
        EXPECT_EQ(f.Target(s1), i);
        EXPECT_EQ(f.Target(s2), i);
    }
}

TEST(InvertLcd, BlinkingChangesTheInstructionAfterFreeOffsetOnly) {
    PatchFixture f("NHM-5");
    const std::int64_t decoy = Find(f.before, kBlinkOldHex);
    const std::int64_t at = Find(f.before, kBlinkOldHex, f.sample.layout.freeOffset);
    ASSERT_LT(decoy, f.sample.layout.freeOffset);
    const LcdResult r = InvertLCD(f.ed, 1);
    EXPECT_EQ(r.offset, at);
    EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(static_cast<std::int32_t>(at), 4)), "43C00600");
    EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(static_cast<std::int32_t>(decoy), 4)), "43880600");
    EXPECT_EQ(f.ed.FreeOffset, f.sample.layout.freeOffset);
    // Nothing more to change.
    EXPECT_THROW(InvertLCD(f.ed, 1), UserError);
}

TEST(InvertLcd, RefusalsLeaveTheImageAlone) {
    struct Case {
        const char* name;
        PatchHook leaveOut;
        int mode;
        std::function<void(PatchFixture&)> arrange;
        std::string message;
    };
    const Case cases[] = {
        {"no hook", PatchHook::InvertedLcd, 0, [](PatchFixture&) {}, kNoHook},
        {"S2 not a call", PatchHook::None, 0,
         [](PatchFixture& f) {
             f.ed.MainHex.WriteAt(static_cast<std::int32_t>(Find(f.before, kLcdHookHex) + 40),
                                  HexToBytes("43880600"));
             f.before = f.ed.MainHex.Data();
         },
         kNoCall},
        {"no free space", PatchHook::None, 0, [](PatchFixture& f) { f.ed.FreeOffset = -1; },
         kNoMcuSpace},
        {"only before FreeOffset", PatchHook::Blinking, 1, [](PatchFixture&) {}, kBlinkNotFound},
        {"blinking without free space", PatchHook::None, 1,
         [](PatchFixture& f) { f.ed.FreeOffset = -1; }, kBlinkNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SampleOptions o;
        o.leaveOut = c.leaveOut;
        PatchFixture f("NHM-5", o);
        c.arrange(f);
        const std::int32_t freeBefore = f.ed.FreeOffset;
        try {
            InvertLCD(f.ed, c.mode);
            ADD_FAILURE() << "not refused";
        } catch (const UserError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_TRUE(f.Unchanged());
        EXPECT_EQ(f.ed.FreeOffset, freeBefore);
    }
}

TEST(InvertLcd, DialogShowsTheLastModeAndCancelChangesNothing) {
    PatchFixture f("NHM-5");
    std::vector<int> shown;
    f.ui.dialogs.On<TInvertFrm>() = [&](TInvertFrm& m) {
        shown.push_back(m.choice);
        m.choice = 1 - m.choice;
        if (shown.size() == 1) m.PressOk();
        return shown.size() == 1;  // then cancelled
    };
    EXPECT_TRUE(InvertedLcd(f.ed, f.ed.patches, f.ui).has_value());
    const Bytes afterFirst = f.ed.MainHex.Data();
    EXPECT_FALSE(InvertedLcd(f.ed, f.ed.patches, f.ui).has_value());
    EXPECT_EQ(shown, (std::vector<int>{0, 1}));
    EXPECT_EQ(f.ed.patches.invertFrm.Mode(), 1);
    EXPECT_EQ(f.ed.MainHex.Data(), afterFirst);
}

}  // namespace
}  // namespace brivant::test
