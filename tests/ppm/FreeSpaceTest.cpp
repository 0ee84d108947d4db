#include <gtest/gtest.h>

#include <algorithm>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "core/UserError.h"
#include "ppm/FreeSpace.h"
#include "ppm/PpmCopy.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {
std::int32_t Mcu(const Editor& ed) {
    return std::stoi(ed.mcuFreeField);
}
std::int32_t Ppm(const Editor& ed) {
    return std::stoi(ed.ppmFreeField);
}
std::uint32_t StartField(const Editor& ed, const SampleLayout& l) {
    return GetBE32(&ed.MainHex.Data()[static_cast<std::size_t>(l.dumfile + 24)]);
}
}  // namespace

TEST(GetFreespace, CountsBothAreas) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    EXPECT_EQ(Mcu(ed), s.layout.mcuMark - s.layout.freeOffset);  // up to the end mark
    EXPECT_EQ(Ppm(ed), s.layout.ppmEnd - s.layout.ppmFree + 1);
    ed.MainHex.SetSelectionStart(77);
    GetFreespace(ed);
    EXPECT_EQ(ed.MainHex.CursorPosition(), 1);

    SampleOptions o;
    o.mcuEndMark = false;
    const auto t = OpenSample(ed, ui, dir.Path("b.fls"), o);
    // Up to the PPM marker, from where the FF bytes that reach it start (this sample keeps
    // a word of code where the end mark would be).
    EXPECT_EQ(Mcu(ed), t.layout.ppmStart - ed.FreeOffset);
    EXPECT_GT(ed.FreeOffset, t.layout.freeOffset);
    const Bytes& image = ed.MainHex.Data();
    EXPECT_NE(image[static_cast<std::size_t>(ed.FreeOffset) - 1], 0xFF);
    EXPECT_TRUE(std::all_of(image.begin() + ed.FreeOffset, image.begin() + t.layout.ppmStart,
                            [](std::uint8_t b) { return b == 0xFF; }));
}

TEST(GetFreespace, NoFreeRunFailsAtThePositioningStep) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    Bytes b(4096, 0x11);
    const std::string dum = "DUMFILE", ppm = std::string("PPM") + '\0' + "V 1.0 NHM-5";
    std::copy(dum.begin(), dum.end(), b.begin() + 0x40);
    std::copy(ppm.begin(), ppm.end(), b.begin() + 0x800);
    WriteFile(dir.Path("a.fls"), b);
    // Loaded as the open flow does, without its check that the PPM area has chunks.
    ed.MainHex.LoadFile(dir.Path("a.fls"));
    GetFreeOffset(ed);
    EXPECT_EQ(ErrorOf([&] { GetPhoneType(ed, ui); }), "Invalid selection start");
    EXPECT_EQ(ed.FreeOffset, -1);
    EXPECT_EQ(ed.PhoneTypeText(), "3310");
    EXPECT_TRUE(ed.mcuFreeField.empty());
}

TEST(Adjust, MoveIntoTheMcuWithoutEndMark) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    SampleOptions o;
    o.mcuEndMark = false;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"), o);
    const std::int32_t mcu = Mcu(ed), ppm = Ppm(ed);
    ui.textAnswers = {"4096"};
    AdjustSpace(ed, ui, AdjustTarget::MCU);
    ASSERT_EQ(ui.textAsked.size(), 1u);
    EXPECT_EQ(ui.textAsked[0].first, "Adjust MCU Space");
    EXPECT_EQ(ui.textAsked[0].second, "How many bytes to add in MCU?\n\rPlease Enter From 1 to " +
                                          std::to_string(ppm - 62));
    EXPECT_EQ(ui.Last(), "MCU free space successfully adjusted");
    EXPECT_EQ(Mcu(ed), mcu + 4096);
    EXPECT_EQ(Ppm(ed), ppm - 4096);
    const Bytes& m = ed.MainHex.Data();
    const auto b = static_cast<std::size_t>(s.layout.ppmStart);
    EXPECT_EQ(m[b], 0xFF);
    EXPECT_EQ(m[b + 4095], 0xFF);
    EXPECT_EQ(BytesToHex(&m[b + 4096], 64), BytesToHex(&s.bytes[b], 64));
    EXPECT_EQ(StartField(ed, s.layout), 0x200000u + b + 4096);
    // The end of the area stays where it was.
    EXPECT_EQ(BytesToHex(&m[static_cast<std::size_t>(s.layout.ppmEnd + 1)], 16),
              BytesToHex(&s.bytes[static_cast<std::size_t>(s.layout.ppmEnd + 1)], 16));
    // The moved image still opens and splits.
    ed.MainHex.SaveFile(dir.Path("b.fls"), true);
    OpenPath(ed, ui, dir.Path("b.fls"));
    EXPECT_TRUE(ed.ppm.split);
}

TEST(Adjust, MoveIntoThePpm) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    const std::int32_t ppm = Ppm(ed);
    ui.textAnswers = {"1000"};
    AdjustSpace(ed, ui, AdjustTarget::PPM);
    EXPECT_EQ(ui.textAsked[0].first, "Adjust PPM Space");
    EXPECT_EQ(ui.Last(), "PPM free space successfully adjusted");
    EXPECT_EQ(Ppm(ed), ppm + 1000);
    const Bytes& m = ed.MainHex.Data();
    const auto b = static_cast<std::size_t>(s.layout.ppmStart);
    EXPECT_EQ(BytesToHex(&m[b - 1000], 64), BytesToHex(&s.bytes[b], 64));
    EXPECT_EQ(StartField(ed, s.layout), 0x200000u + b - 1000);
    const auto oldFree = static_cast<std::size_t>(s.layout.ppmFree);
    for (std::size_t i = oldFree - 1000; i < oldFree; ++i) ASSERT_EQ(m[i], 0xFF) << i;
    // Only the boundary moved: the end mark of the MCU free space is intact.
    EXPECT_EQ(BytesToHex(&m[static_cast<std::size_t>(s.layout.mcuMark)], 9), "3C3C3C3C3C3C3C6733");
}

TEST(Adjust, RefusesToOverwriteBytesThatAreNotFree) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    SampleOptions o;
    o.occupiedBelowPpm = true;
    OpenSample(ed, ui, dir.Path("a.fls"), o);
    const Bytes before = ed.MainHex.Data();
    ui.textAnswers = {"100"};
    EXPECT_EQ(ErrorOf([&] { AdjustSpace(ed, ui, AdjustTarget::PPM); }),
              "Cannot move the PPM area by 100 bytes: the bytes it would take over are not all "
              "free (FF)");
    EXPECT_EQ(ed.MainHex.Data(), before);
    EXPECT_FALSE(ed.MainHex.Modified());

    // Something in the PPM free space right behind the data blocks the other direction.
    SampleOptions unmarked;
    unmarked.mcuEndMark = false;
    const auto s = OpenSample(ed, ui, dir.Path("b.fls"), unmarked);
    ed.MainHex.WriteAt(s.layout.ppmFree + 200, Bytes{0x12});
    const Bytes before2 = ed.MainHex.Data();
    ui.textAnswers = {"300"};
    EXPECT_THROW(AdjustSpace(ed, ui, AdjustTarget::MCU), UserError);
    EXPECT_EQ(ed.MainHex.Data(), before2);
    ui.textAnswers = {"150"};
    AdjustSpace(ed, ui, AdjustTarget::MCU);
    EXPECT_EQ(ui.Last(), "MCU free space successfully adjusted");
}

// Bytes the MCU would gain behind its closing mark, or behind data that ends its run of FF,
// would join no free space any writer uses: refused, saying why, with nothing changed and
// no success told.
TEST(Adjust, GainsThatCannotJoinTheMcuFreeSpaceAreRefused) {
    const auto hex = [](std::int64_t offset) {
        return "0x" + IntToHex(static_cast<std::uint32_t>(offset), 8);
    };
    for (const bool marked : {true, false}) {
        SCOPED_TRACE(marked);
        TempDir dir;
        Editor ed;
        FakeUi ui;
        SampleOptions o;
        o.mcuEndMark = marked;
        o.occupiedBelowPpm = !marked;
        const auto s = OpenSample(ed, ui, dir.Path("a.fls"), o);
        const Bytes before = ed.MainHex.Data();
        const std::int32_t free = ed.FreeOffset, mcu = Mcu(ed);
        ui.textAnswers = {"100"};
        const std::string why =
            marked
                ? "Cannot add bytes to the MCU free space: it ends at its closing mark at offset " +
                      hex(s.layout.mcuMark) +
                      ", before the PPM area, so the bytes gained would lie behind the mark "
                      "where nothing uses them. Nothing was changed"
                : "Cannot add bytes to the MCU free space: data lies between its end and the "
                  "PPM area at offset " +
                      hex(s.layout.ppmStart) +
                      ", so the bytes gained would not join it. Nothing was changed";
        EXPECT_EQ(ErrorOf([&] { AdjustSpace(ed, ui, AdjustTarget::MCU); }), why);
        EXPECT_TRUE(ed.MainHex.Data() == before);
        EXPECT_EQ(ed.FreeOffset, free);
        EXPECT_EQ(Mcu(ed), mcu);
        const std::vector<std::string> told = ui.Messages();
        EXPECT_EQ(std::count(told.begin(), told.end(), "MCU free space successfully adjusted"), 0);
    }
}

TEST(Adjust, PromptBoundsAndAnswers) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    AdjustSpace(ed, ui, AdjustTarget::MCU);
    EXPECT_EQ(ui.Last(), "Please open Flash file first");

    OpenSample(ed, ui, dir.Path("a.fls"));
    const Bytes before = ed.MainHex.Data();
    ed.ppmFreeField = "62";  // the fields are read as the user left them
    ui.textAnswers = {"1", "5", ""};
    AdjustSpace(ed, ui, AdjustTarget::MCU);
    EXPECT_EQ(ui.textAsked.size(), 3u);  // asked again until the empty answer
    EXPECT_EQ(ui.Last(), "Enter the number of bytes to move, 1 to 0");
    EXPECT_EQ(ui.textAsked[0].second, "How many bytes to add in MCU?\n\rPlease Enter From 1 to 0");
    EXPECT_EQ(ed.MainHex.Data(), before);

    ed.ppmFreeField = "61";
    AdjustSpace(ed, ui, AdjustTarget::MCU);
    EXPECT_EQ(ui.Last(), "PPM bytes too small, MCU space can not be adjust");
    ed.mcuFreeField = "10";
    AdjustSpace(ed, ui, AdjustTarget::PPM);
    EXPECT_EQ(ui.Last(), "MCU bytes too small, PPM space can not be adjust");

    // Texts that are no count are told in words that say what to do, never as an internal
    // failure, and nothing changes.
    for (const char* field : {"x1", ""}) {
        ed.ppmFreeField = field;
        EXPECT_EQ(ErrorOf([&] { AdjustSpace(ed, ui, AdjustTarget::MCU); }), "");
        EXPECT_EQ(ui.Last(),
                  "The free space fields must hold numbers of bytes: open the image again to "
                  "count them");
    }
    ed.ppmFreeField = "5000";
    ui.textAnswers = {"abc", "0", "-3", ""};
    EXPECT_EQ(ErrorOf([&] { AdjustSpace(ed, ui, AdjustTarget::MCU); }), "");
    EXPECT_EQ(ui.Messages().back(), "Enter the number of bytes to move, 1 to 4938");
    EXPECT_EQ(ed.MainHex.Data(), before);
    ui.textAnswers = {std::nullopt};
    AdjustSpace(ed, ui, AdjustTarget::MCU);
    EXPECT_EQ(ed.MainHex.Data(), before);
}

// PPM end addresses that name no byte of the image, 0x80000000 and above among them (once
// a signed overflow), end the count with a message that gives the address.
TEST(GetFreespace, AnEndAddressOutsideTheImageIsTold) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    const auto field = static_cast<std::size_t>(s.layout.dumfile + 28);
    const std::string size = std::to_string(ed.MainHex.Size());
    for (std::uint32_t address : {0x80000000u, 0xFFFFFFFFu, 0x80200000u, 0x001FFFFFu, 0u,
                                  0x200000u + static_cast<std::uint32_t>(ed.MainHex.Size())}) {
        Bytes b(4);
        PutBE32(b.data(), address);
        ed.MainHex.WriteAt(static_cast<std::int32_t>(field), b);
        const std::string ppmBefore = ed.ppmFreeField;
        const std::string error = ErrorOf([&] { GetFreespace(ed); });
        EXPECT_NE(error.find(IntToHex(address, 8)), std::string::npos) << error;
        EXPECT_NE(error.find(size), std::string::npos) << error;
        EXPECT_EQ(ed.ppmFreeField, ppmBefore);
    }
}
