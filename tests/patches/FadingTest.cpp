#include <gtest/gtest.h>

#include "core/UserError.h"
#include "image/McuSpace.h"
#include "patches/CodePatch.h"
#include "patches/FadeCodes.h"
#include "patches/Fading.h"
#include "patches/PatchState.h"
#include "patches/PatchTestSupport.h"

namespace brivant::test {
namespace {

std::function<bool(TFadeLeds&)> Times(const std::string& in, const std::string& out) {
    return [in, out](TFadeLeds& m) {
        m.fadeIn = in;
        m.fadeOut = out;
        return !m.PressOk().has_value();
    };
}

struct VariantCase {
    const char* designation;
    const char* variant;
    const char* hook;
    int second;  // B - A
    int t2Read;  // from B
    int inner;   // from the payload's start
    const char* pool;
};

constexpr const char* kPool1 = "00000000000200200002002400020030";
constexpr const char* kPool2 = "0000FFF50002002A0000003000112424";
constexpr const char* kPool3X = "0002003300020020000200240002002A";
constexpr const char* kPool3Y = "0002003300000000000000000002002A";
constexpr const char* kPool4 = "0000FFF50002002A0000002F00163A55";
constexpr const char* kY = "78120892D21C2800D01A2901D00C";
constexpr const char* kY2 = "431A2A00D11C2800D01A2901D00C";

const VariantCase kCases[] = {
    {"NSE-1", "FadeCode1", "78120892D22E", 44, -12, 108, kPool1},  // 51XX
    {"NSE-3", "FadeCode1", "78120892D22E", 44, -12, 108, kPool1},  // 61XX
    {"NSE-8", "FadeCode2", "2800D0302901D017", 48, -34, 104, kPool2},
    {"NHM-5", "FadeCode3", "431A2A00D140", 62, -12, 108, kPool3X},         // 3310
    {"NHM-6", "FadeCode3", "431A2A00D140", 62, -12, 108, kPool3X},         // 3330
    {"NHM-9", "FadeCode3", "4AB478537892", 62, -12, 108, kPool3X},         // 3350
    {"NPB-1", "FadeCode3", "78120892D21C", 26, -12, 108, kPool3Y},         // 3390
    {"NHM-2", "FadeCode3", "4AB478937852", 62, -12, 108, kPool3X},         // 3410
    {"NAM-1", "FadeCode3", kY2, 26, -12, 108, kPool3Y},                    // 3610
    {"NSM-3", "FadeCode3", kY, 26, -12, 108, kPool3Y},                     // 8210
    {"NSM-3D", "FadeCode3", kY, 26, -12, 108, kPool3Y},                    // 8250
    {"NSM-2", "FadeCode3", kY, 26, -12, 108, kPool3Y},                     // 8850
    {"NSB-6", "FadeCode3", kY, 26, -12, 108, kPool3Y},                     // 8890
    {"NSM-4", "FadeCode3", kY2, 26, -12, 108, kPool3Y},                    // 8855
    {"NPM-5", "FadeCode3", "431A2A00D140", 62, -12, 108, kPool3X},         // 5510
    {"NSM-5", "FadeCode3", kY2, 26, -12, 108, kPool3Y},                    // 5210
    {"NAM-2", "FadeCode3", "78120892D21C", 26, -12, 108, kPool3Y},         // 2100
    {"NPE-3", "FadeCode3", "78120892D21C", 26, -12, 108, kPool3Y},         // 6210
    {"NSE-5", "FadeCode4", "2800D0202901D00E202F", 30, -20, 104, kPool4},  // 7110
};

TEST(FadingLeds, EachFamilyGetsItsRoutineByteForByte) {
    for (const VariantCase& c : kCases) {
        SCOPED_TRACE(c.designation);
        PatchFixture f(c.designation);
        f.ui.dialogs.On<TFadeLeds>() = Times("0300", "0600");
        FadeChoice choice;
        ASSERT_TRUE(ChooseFade(f.ed.PhoneTypeText(), f.ed.UnitModelHex, choice));
        const bool is62xx = f.ed.Is62xx() && choice.variant->name == std::string("FadeCode3");
        // The long routines carry a T1 and end at 184 bytes, the short ones at 160.
        const int len = c.inner == 108 ? 184 : 160, pool = len - 24;

        const auto r = FadingLeds(f.ed, f.ed.patches, f.ui);
        ASSERT_TRUE(r.has_value()) << f.ui.Last();
        const std::int32_t i = f.sample.layout.freeOffset;  // already a multiple of 4
        const std::int32_t h = f.ed.MainHex.Search(HexToBytes(c.hook).data(),
                                                   static_cast<std::int32_t>(strlen(c.hook) / 2), 1,
                                                   f.ed.MainHex.Size() - 1, false);
        const std::int64_t a = h + 14, b = a + c.second;
        EXPECT_EQ(r->variant, c.variant);
        EXPECT_EQ(r->hook, h);
        EXPECT_EQ(r->payloadOffset, i);
        EXPECT_EQ(r->payloadLength, len);
        EXPECT_EQ(r->callSites[0], a);
        EXPECT_EQ(r->callSites[1], b);
        EXPECT_EQ(f.ed.FreeOffset, i + len);
        EXPECT_EQ(r->freeOffset, i + len);

        // The pool and the two fade words close the routine.
        const Bytes& m = f.ed.MainHex.Data();
        EXPECT_EQ(BytesToHex(&m[static_cast<std::size_t>(i + pool)], 24),
                  std::string(c.pool) + "0000030000000600");
        // Every call of the routine goes where it must; the rest is the base code.
        const std::int64_t t1 = f.OldTarget(a), t2 = f.OldTarget(b + c.t2Read);
        const FadeVariant& v = *choice.variant;
        std::string body = std::string(v.baseCode).substr(0, static_cast<std::size_t>(pool) * 2);
        if (is62xx) {
            body.replace(body.find("4924780A2102400A"), 16, "4924780A2120400A");
            body.replace(body.find("D0032002780A4042"), 16, "D0032020780A4042");
        }
        Bytes expected = HexToBytes(body);
        for (const auto& [sites, target] : {std::pair{v.toInner, std::int64_t{i} + c.inner},
                                            std::pair{v.toT1, t1}, std::pair{v.toT2, t2}}) {
            for (int s : sites) {
                EXPECT_EQ(f.Target(i + s), target) << "fix-up at +" << s;
                std::copy(m.begin() + i + s, m.begin() + i + s + 4, expected.begin() + s);
            }
        }
        EXPECT_EQ(BytesToHex(&m[static_cast<std::size_t>(i)], static_cast<std::size_t>(pool)),
                  BytesToHex(expected));
        EXPECT_EQ(v.toT1.size(), c.inner == 108 ? 3u : 0u);

        // Both firmware calls now reach the routine; nothing else changed.
        EXPECT_EQ(f.Target(a), i);
        EXPECT_EQ(f.Target(b), i);
        for (std::size_t k = 0; k < m.size(); ++k) {
            const auto o = static_cast<std::int64_t>(k);
            const bool allowed =
                (o >= i && o < i + len) || (o >= a && o < a + 4) || (o >= b && o < b + 4);
            if (!allowed && m[k] != f.before[k]) {
                ADD_FAILURE() << "byte " << k << " changed";
                break;
            }
        }
    }
}

TEST(FadingLeds, AlignsAndRefusesASecondRun) {
    PatchFixture f("NSE-3");
    f.ui.dialogs.On<TFadeLeds>() = Times("0a1B", "FFFF");
    f.ed.FreeOffset = f.sample.layout.freeOffset + 2;
    const auto first = FadingLeds(f.ed, f.ed.patches, f.ui);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->payloadOffset, f.sample.layout.freeOffset + 4);
    // The routine ends in its FFFF time: a 00 byte behind it keeps that out of the free space.
    EXPECT_EQ(f.ed.FreeOffset, first->payloadOffset + 185);
    EXPECT_EQ(f.Word(f.sample.layout.freeOffset), 0xFFFFFFFFu);  // the skipped bytes stay
    EXPECT_EQ(BytesToHex(f.ed.MainHex.ReadAt(first->payloadOffset + 176, 9)), "00000A1B0000FFFF00");

    // Again, with other times: the calls already lead to a routine; a second one would take
    // them over and leave the first in the free space.
    f.ui.dialogs.On<TFadeLeds>() = Times("0001", "0002");
    const Bytes patched = f.ed.MainHex.Data();
    const std::int32_t free = f.ed.FreeOffset;
    const std::string error = ErrorOf([&] { FadingLeds(f.ed, f.ed.patches, f.ui); });
    EXPECT_TRUE(error.find("already applied") != std::string::npos) << error;
    EXPECT_EQ(error, Format(kFadeApplied, {std::to_string(first->payloadOffset)}));
    EXPECT_TRUE(f.ed.MainHex.Data() == patched);
    EXPECT_EQ(f.ed.FreeOffset, free);

    // A routine that ends right before the free space's end mark still fits; one that ends
    // in FF needs the byte behind it too.
    PatchFixture g("NSE-3");
    g.ui.dialogs.On<TFadeLeds>() = Times("0a1B", "0002");
    g.ed.FreeOffset = g.sample.layout.mcuMark - 184;
    EXPECT_EQ(FadingLeds(g.ed, g.ed.patches, g.ui)->freeOffset, g.sample.layout.mcuMark);
    PatchFixture h("NSE-3");
    h.ui.dialogs.On<TFadeLeds>() = Times("0a1B", "FFFF");
    h.ed.FreeOffset = h.sample.layout.mcuMark - 184;
    EXPECT_EQ(ErrorOf([&] { FadingLeds(h.ed, h.ed.patches, h.ui); }), kNoMcuSpace);
}

TEST(FadingLeds, RefusalsLeaveTheImageAlone) {
    struct Case {
        const char* name;
        std::function<void(PatchFixture&)> arrange;
        std::string message;
        SampleOptions options{};
    };
    SampleOptions noHook;
    noHook.leaveOut = PatchHook::FadingLeds;
    auto breakCall = [](int fromHook) {
        return [fromHook](PatchFixture& f) {
            const Bytes hook = HexToBytes("78120892D22E");
            const std::int32_t h =
                f.ed.MainHex.Search(hook.data(), 6, 1, f.ed.MainHex.Size() - 1, false);
            f.ed.MainHex.WriteAt(h + fromHook, HexToBytes("F000F7FF"));  // no second half
            f.before = f.ed.MainHex.Data();
        };
    };
    const Case cases[] = {
        {"no hook", [](PatchFixture&) {}, kNoHook, noHook},
        {"A not a call", breakCall(14), kNoCall},
        {"T2 not a call", breakCall(46), kNoCall},
        {"B not a call", breakCall(58), kNoCall},
        {"no free space", [](PatchFixture& f) { f.ed.FreeOffset = -1; }, kNoMcuSpace},
        {"too close to the end mark",
         [](PatchFixture& f) { f.ed.FreeOffset = f.sample.layout.mcuMark - 180; }, kNoMcuSpace},
        {"free space taken",
         [](PatchFixture& f) {
             f.ed.MainHex.WriteAt(f.ed.FreeOffset + 100, {0x12});
             f.before = f.ed.MainHex.Data();
         },
         kNoMcuSpace},
        {"bad fade time",
         [](PatchFixture& f) { f.ui.dialogs.On<TFadeLeds>() = Times("300", "0600"); }, ""},
        {"no phone type", [](PatchFixture& f) { f.ed.phoneList.selected = 0; }, kChooseModel},
        {"cancelled",
         [](PatchFixture& f) {
             f.ui.dialogs.On<TFadeLeds>() = [](TFadeLeds& m) {
                 m.PressCancel();
                 return false;
             };
         },
         ""},
        {"closed by the close box", [](PatchFixture& f) { f.ui.dialogs.On<TFadeLeds>() = nullptr; },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PatchFixture f("NSE-3", c.options);
        f.ui.dialogs.On<TFadeLeds>() = Times("0300", "0600");
        c.arrange(f);
        const std::int32_t freeBefore = f.ed.FreeOffset;
        std::string message;
        try {
            EXPECT_FALSE(FadingLeds(f.ed, f.ed.patches, f.ui).has_value());
            message = f.ui.told.empty() ? "" : f.ui.Last();
        } catch (const UserError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, c.message);
        EXPECT_TRUE(f.Unchanged());
        EXPECT_EQ(f.ed.FreeOffset, freeBefore);
    }
}

TEST(FadingLeds, DialogTakesOnlyFourHexDigitsAndKeepsWhatWasConfirmed) {
    TFadeLeds d;
    for (const char* bad : {"", "030", "03000", "03G0", " 300"}) {
        d.fadeIn = bad;
        EXPECT_EQ(d.PressOk(), std::string(TFadeLeds::kBadTime)) << bad;
    }
    d.fadeIn = "1234";
    d.fadeOut = "abcd";
    EXPECT_FALSE(d.PressOk().has_value());
    d.fadeIn = "9999";
    d.PressCancel();
    d.Open();  // the cancelled typing is gone, the confirmed times stay
    EXPECT_FALSE(d.Cancel);
    EXPECT_EQ(d.fadeIn + d.fadeOut, "1234abcd");
}

}  // namespace
}  // namespace brivant::test
