#include <gtest/gtest.h>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

TEST(Detection, EveryDesignationSelectsItsFamilyAndModel) {
    TempDir dir;
    const auto& rows = Designations();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Editor ed;
        FakeUi ui;
        SampleOptions o;
        o.family = rows[i].index;
        o.designation = static_cast<int>(i);
        OpenSample(ed, ui, dir.Path("d.fls"), o);
        // NSM-3 is a prefix of NSM-3D: the later row wins.
        const int expected = rows[i].index;
        EXPECT_EQ(ed.PhoneType(), expected) << rows[i].name;
        EXPECT_EQ(ed.ModelName, rows[i].model) << rows[i].name;
        EXPECT_FALSE(ed.phoneList.enabled);
        EXPECT_TRUE(ui.told.empty()) << rows[i].name << ": " << ui.Last();
        EXPECT_EQ(ed.UnitModelHex.size(), 98u);
        EXPECT_EQ(ed.UnitModelHex.substr(0, 10), "50504D0056");
        EXPECT_TRUE(ed.ppm.split);
    }
}

TEST(Detection, LongerDesignationOverridesItsPrefix) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    SampleOptions o;
    o.family = 11;
    o.designation = 14;  // NSM-3D
    OpenSample(ed, ui, dir.Path("a.fls"), o);
    EXPECT_EQ(ed.PhoneTypeText(), "8250");
    o.family = 10;
    o.designation = 13;  // NSM-3
    OpenSample(ed, ui, dir.Path("b.fls"), o);
    EXPECT_EQ(ed.PhoneTypeText(), "8210");
}

TEST(Detection, UnknownDesignationAsksTheUserAndKeepsTheModel) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    OpenSample(ed, ui, dir.Path("a.fls"));
    ASSERT_EQ(ed.ModelName, "3310");
    SampleOptions o;
    o.family = 18;  // laid out as a 62XX/7110 image, but without its designation
    o.designation = kNoDesignation;
    OpenSample(ed, ui, dir.Path("b.fls"), o);
    EXPECT_EQ(ed.PhoneType(), 0);
    EXPECT_TRUE(ed.phoneList.enabled);
    EXPECT_EQ(ed.phoneList.entries[0], "Select Here");
    EXPECT_EQ(ed.phoneList.entries[18], "62XX/7110");
    EXPECT_EQ(ed.ModelName, "3310");
    EXPECT_FALSE(ed.ppm.split);
    EXPECT_TRUE(ed.mcuFreeField.empty());

    ChoosePhoneType(ed, ui, 18);
    EXPECT_FALSE(ed.security.patchEnabled);
    EXPECT_FALSE(ed.tones.ringtoneAddEnabled);
    EXPECT_TRUE(ed.ppm.split);
    EXPECT_FALSE(ed.mcuFreeField.empty());
    // Read as another family, a 62XX/7110 tone chunk need not list: not the subject here.
    ed.Hook("tones").typeChosen = [](Editor& e, Interaction&) {
        e.tones.ringtoneAddEnabled = !e.Is62xx();
    };
    ChoosePhoneType(ed, ui, 5);
    EXPECT_TRUE(ed.security.patchEnabled);
    EXPECT_TRUE(ed.tones.ringtoneAddEnabled);
    EXPECT_EQ(ed.ModelName, "3310");  // a manual choice never sets the model
    EXPECT_TRUE(ui.told.empty());
}

TEST(Detection, ChoosingATypeWithoutAnImage) {
    Editor ed;
    FakeUi ui;
    ChoosePhoneType(ed, ui, 4);
    EXPECT_EQ(ui.Last(), "Please open flash file first");
    EXPECT_EQ(ed.PhoneType(), 0);
}

TEST(Detection, AnImageWithoutPpmAreaIsNotOpened) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const std::string path = dir.Path("plain.fls");
    WriteFile(path, Bytes(4096, 0x11));
    EXPECT_EQ(ErrorOf([&] { OpenPath(ed, ui, path); }),
              path +
                  " is not a flash image this editor can read: it has no PPM area (no PPM "
                  "marker)");
    EXPECT_TRUE(ed.MainHex.Empty());
    EXPECT_FALSE(ed.phoneList.enabled);
    EXPECT_EQ(ed.PhoneType(), 0);
    EXPECT_EQ(ed.phoneList.entries[0], "");

    // The marker too close to the end for the header that detection reads.
    Bytes b(256, 0x11);
    const Bytes marker = HexToBytes("50504D0056");
    std::copy(marker.begin(), marker.end(), b.end() - 20);
    WriteFile(path, b);
    EXPECT_EQ(ErrorOf([&] { OpenPath(ed, ui, path); }),
              path +
                  " is not a flash image this editor can read: its PPM header is cut off by "
                  "the end of the file");
    EXPECT_TRUE(ed.MainHex.Empty());
}
