#include <gtest/gtest.h>

#include "app/PhoneTypeFlow.h"
#include "core/Stream.h"
#include "image/PhoneTypes.h"
#include "menu/SecurityPatch.h"
#include "menu/SecurityPatterns.h"
#include "menu/SecurityState.h"
#include "menu/SecurityTestSupport.h"

namespace brivant::test {
namespace {

constexpr const char* kTo0387 = "00004387000045E0000005DD";
constexpr const char* kTo05E0 = "000045E0000045E0000005DD";

TEST(SecurityBlocks, SubmenuAndFunctionItemsRewritten) {
    const Bytes s = HexToBytes("0000003E004E05E000000000");
    const Bytes r = HexToBytes(std::string("00219990") + kTo0387);
    // The whole Messages menu: a submenu item becomes a call of the security function.
    SecurityPatch whole = RewriteSecurityBlocks(HexToBytes("00212340003F038700010002"), s, r);
    EXPECT_EQ(BytesToHex(whole.guarded.after), "0000003E003F05E000010002");
    EXPECT_EQ(BytesToHex(whole.security.after), "00219990004E038700000000");
    EXPECT_EQ(BytesToHex(whole.redirect.after), std::string("00212340") + kTo0387);
    // The Inbox: a function item keeps 05E0, and the redirect says so.
    SecurityPatch inbox = RewriteSecurityBlocks(HexToBytes("0000001C004E05E000000000"), s, r);
    EXPECT_EQ(BytesToHex(inbox.guarded.after), "0000003E004E05E000000000");
    EXPECT_EQ(BytesToHex(inbox.security.after), "00219990004E038700000000");
    EXPECT_EQ(BytesToHex(inbox.redirect.after), std::string("0000001C") + kTo05E0);
}

TEST(SecurityBlocks, LastOccurrenceRestartsOnTheHitsLastByte) {
    struct Case {
        const char* image;
        const char* pattern;
        std::int32_t last;
    };
    const Case cases[] = {
        {"000101010100", "0101", 3},    // each overlapping hit in turn
        {"000101010100", "010101", 1},  // the hit at 2 overlaps more than the last byte
        {"000101010100", "01", 4},      // one byte: moves on past its hit and ends
        {"000001", "01", 2},            // on the image's last byte
        {"AB0000", "AB", -1},           // offset 0 is never searched
        {"000101010100", "", -1},      {"000101010100", "02", -1},
    };
    for (const Case& c : cases) {
        Editor ed;
        ed.MainHex.LoadStream(MemStream(HexToBytes(c.image)));
        EXPECT_EQ(LastOccurrence(ed, c.pattern), c.last) << c.image << " " << c.pattern;
    }
}

// Every family with patterns, every automatic choice, every variant a designation reaches:
// the three blocks are rewritten where they lie and nothing else in the image changes.
TEST(SecurityPatch, EveryFamilyAndChoiceByteForByte) {
    std::vector<std::pair<int, int>> images = {{1, kNse1}, {1, kNsk1}, {1, kNse2},
                                               {2, kNse3}, {2, kNsm1}, {2, kNsk3}};
    for (int family = 3; family <= 17; ++family) images.emplace_back(family, -1);
    for (const auto& [family, designation] : images) {
        for (int choice : {kWholeMenu, kInbox, kOutbox}) {
            SecurityFixture f(family, designation);
            const SecurityVariant* v = FindSecurityVariant(family, f.ed.UnitModelHex);
            ASSERT_NE(v, nullptr) << family;
            const SecurityPatterns p = *PatternsFor(*v, choice);
            const Bytes& o = f.original;
            const std::int64_t g = LastHit(o, p.guarded) - p.back;
            const std::int64_t s = LastHit(o, p.security);
            const std::int64_t r = FirstHit(o, kRedirectPattern) - 4;
            const std::string where = std::string(v->name) + " choice " + std::to_string(choice);
            ASSERT_TRUE(g >= 0 && s >= 0 && r >= 0) << where;
            ASSERT_EQ(HexAt(o, g + 6, 2), choice == kWholeMenu ? "0387" : "05E0") << where;

            f.ed.security.securityOption = choice;
            const auto done = PatchSecurityCode(f.ed, f.ed.security, f.ui);
            ASSERT_TRUE(done.has_value()) << where << ": " << f.ui.Last();
            EXPECT_EQ(f.ui.Messages(), std::vector<std::string>{kSecurityPatched});
            EXPECT_FALSE(f.ed.security.patchEnabled);

            Bytes expected = o;
            const auto put = [&](std::int64_t at, const std::string& hex) {
                const Bytes b = HexToBytes(hex);
                std::copy(b.begin(), b.end(), expected.begin() + at);
            };
            put(g, HexAt(o, s, 4) + HexAt(o, g + 4, 2) + "05E0" + HexAt(o, g + 8, 4));
            put(s, HexAt(o, r, 4) + HexAt(o, s + 4, 2) + "0387" + HexAt(o, s + 8, 4));
            put(r, HexAt(o, g, 4) + (choice == kWholeMenu ? kTo0387 : kTo05E0));
            EXPECT_TRUE(f.Image() == expected) << where;
            EXPECT_EQ(done->guarded.offset, g);
            EXPECT_EQ(done->security.offset, s);
            EXPECT_EQ(done->redirect.offset, r);
        }
    }
}

// The designation (or the firmware version) picks the row; its patterns find the items.
TEST(SecurityPatch, VariantChoosesItsPatterns) {
    const auto version0579 = [](Bytes& image) {
        const std::string from = "05.45", to = "05.79";
        const auto it = std::search(image.begin() + 1, image.end(), from.begin(), from.end());
        std::copy(to.begin(), to.end(), it);
    };
    struct Case {
        int family, designation;
        bool v0579;
        int choice;
        const char* guarded;   // the guarded block's bytes 4-7 (whole) or 0-7
        const char* security;  // the security block's bytes 0-7
    };
    const Case cases[] = {
        {1, kNsk1, false, kWholeMenu, "003F0387", "0000003E004E05E0"},
        {1, kNse1, false, kInbox, "0000001C004305E0", "0000003C004305E0"},
        {1, kNse2, false, kOutbox, "0000001A004805E0", "00000037004805E0"},
        {2, kNse3, false, kWholeMenu, "003C0387", "00000045004C05E0"},
        {2, kNsm1, false, kOutbox, "0000001C012F05E0", "0000004D012F05E0"},
        {2, kNsk3, false, kInbox, "0000001D005605E0", "00000046005605E0"},
        {4, -1, false, kInbox, "0000001E017505E0", "0000004C017505E0"},
        {4, -1, true, kInbox, "0000001E017905E0", "0000004C017905E0"},
        {4, -1, true, kOutbox, "0000001D017905E0", "0000004C017905E0"},
    };
    for (const Case& c : cases) {
        SecurityFixture f(c.family, c.designation,
                          c.v0579 ? std::function<void(Bytes&)>(version0579) : nullptr);
        f.ed.security.securityOption = c.choice;
        const auto done = PatchSecurityCode(f.ed, f.ed.security, f.ui);
        ASSERT_TRUE(done.has_value()) << c.guarded << ": " << f.ui.Last();
        const std::string g = BytesToHex(done->guarded.before);
        EXPECT_EQ(c.choice == kWholeMenu ? g.substr(8, 8) : g.substr(0, 16), c.guarded);
        EXPECT_EQ(BytesToHex(done->security.before).substr(0, 16), c.security);
    }
}

TEST(SecurityPatch, RefusalsWriteNothing) {
    const auto noRedirect = [](Bytes& image) {
        const Bytes p = HexToBytes(kRedirectPattern);
        const auto it = std::search(image.begin() + 1, image.end(), p.begin(), p.end());
        std::fill(it, it + 12, 0x99);
    };
    struct Case {
        int family, designation;
        std::function<void(Bytes&)> change;
        int chooseType;  // chosen by hand after the open, 0: as detected
        int choice;
        const char* message;
        bool enabledAfter;
    };
    const Case cases[] = {
        {1, kNoDesignation, nullptr, 0, kWholeMenu, kChooseModel, true},
        {1, kNoDesignation, nullptr, 1, kInbox, kNoSecurityOffsets, false},
        {2, kNoDesignation, nullptr, 2, kWholeMenu, kNoSecurityOffsets, false},
        {18, -1, nullptr, 0, kWholeMenu, kSecurityUnsupported, false},
        {18, -1, nullptr, 0, kManual, kSecurityUnsupported, false},
        {3, -1, noRedirect, 0, kOutbox, kNoRedirectBlock, false},
        {3, -1, nullptr, 0, kManual, kManualFieldsEmpty, false},  // both fields empty
    };
    for (const Case& c : cases) {
        SecurityFixture f(c.family, c.designation, c.change);
        if (c.chooseType) ChoosePhoneType(f.ed, f.ui, c.chooseType);
        f.ui.told.clear();
        f.ed.security.securityOption = c.choice;
        EXPECT_FALSE(PatchSecurityCode(f.ed, f.ed.security, f.ui).has_value());
        EXPECT_EQ(f.ui.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(f.ui.LastKind(), MessageKind::Error);
        EXPECT_EQ(f.ed.security.patchEnabled, c.enabledAfter) << c.message;
        EXPECT_TRUE(f.Image() == f.original) << c.message;
    }
}

}  // namespace
}  // namespace brivant::test
