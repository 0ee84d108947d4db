#include <gtest/gtest.h>

#include <filesystem>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

TEST(OpenCommand, AsksWithTheFixedDialogAndResetsTheViews) {
    TempDir dir;
    const std::string path = dir.Path("a.fls");
    WriteFile(path, BuildSample({}).bytes);
    Editor ed;
    FakeUi ui;
    ed.activeTab = Tab::Operators;
    ed.tones.ringtoneCount = "Ringtones Count: 7";
    ed.texts.languages.push_back({"x", "y", "z"});
    ed.texts.CommTextCount = 5;
    ed.security.securityOption = 2;
    ui.openAnswers = {std::nullopt, path};
    OpenCommand(ed, ui);  // cancelled: nothing changes
    EXPECT_TRUE(ed.MainHex.Empty());
    EXPECT_EQ(ed.activeTab, Tab::Operators);
    OpenCommand(ed, ui);
    ASSERT_EQ(ui.openAsked.size(), 2u);
    const FileDialog& d = ui.openAsked[0];
    EXPECT_EQ(d.title, "Open Flash Files...");
    EXPECT_EQ(d.filter, "Flash Files (*.fls)|*.fls");
    EXPECT_EQ(d.defaultExt, "fls");
    EXPECT_TRUE(d.mustExist);
    EXPECT_EQ(ed.fileNameField, path);
    EXPECT_EQ(ed.activeTab, Tab::Tones);
    EXPECT_TRUE(ed.texts.languages.empty());
    EXPECT_EQ(ed.texts.CommTextCount, 0);
    EXPECT_EQ(ed.security.securityOption, 0);
    EXPECT_EQ(ed.FreeOffset, BuildSample({}).layout.freeOffset);
    EXPECT_EQ(ed.PhoneTypeText(), "3310");
}

TEST(OpenCommand, AFileThatIsNoImageLeavesTheOpenImageAsItWas) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const std::string a = dir.Path("a.fls");
    const SampleImage s = OpenSample(ed, ui, a);
    const Bytes before = ed.MainHex.Data();
    const std::string tones = ed.tones.ringtoneCount;
    const std::string tone = ed.ppm[Piece::TONE];

    auto cut = [&](std::int32_t at) { return Bytes(s.bytes.begin(), s.bytes.begin() + at); };
    Bytes noMarker(4096, 0x11);
    Bytes shortHeader(256, 0x11);
    const Bytes marker = HexToBytes("50504D0056");
    std::copy(marker.begin(), marker.end(), shortHeader.end() - 20);
    const std::string text = "This is a text file, not an image.\n";
    const std::vector<std::pair<Bytes, std::string>> cases = {
        {{}, "the file is empty"},
        {Bytes(text.begin(), text.end()), "it holds only 35 bytes, too few for an image header"},
        {noMarker, "it has no PPM area (no PPM marker)"},
        {shortHeader, "its PPM header is cut off by the end of the file"},
        {cut(s.layout.chunk[0] + 4), "its PPM area has no chunk directory (no LPCS chunk)"},
        {cut(s.layout.chunk[5] + 4), "its chunk directory has no TONE chunk"},
        {cut(s.layout.chunk[6] + 40), "its PLMN chunk has no end marker"},
        {cut(s.layout.ppmFree + 2),
         "its PPM area has no end (no DUMFILE text and free space behind it)"},
    };
    int n = 0;
    for (const auto& [bytes, missing] : cases) {
        const std::string path = dir.Path("bad" + std::to_string(n++) + ".fls");
        WriteFile(path, bytes);
        EXPECT_EQ(ErrorOf([&] { OpenPath(ed, ui, path); }),
                  path + " is not a flash image this editor can read: " + missing);
        EXPECT_EQ(ed.MainHex.Data(), before);
        EXPECT_EQ(ed.MainHex.FileName(), a);
        EXPECT_EQ(ed.fileNameField, a);
        EXPECT_EQ(ed.PhoneTypeText(), "3310");
        EXPECT_TRUE(ed.ppm.split);
        EXPECT_EQ(ed.ppm[Piece::TONE], tone);
        EXPECT_EQ(ed.tones.ringtoneCount, tones);
    }
    // A file that cannot be read at all: the same.
    EXPECT_THROW(OpenPath(ed, ui, dir.Path("gone.fls")), UserError);
    EXPECT_THROW(OpenPath(ed, ui, dir.Path("")), UserError);
    EXPECT_EQ(ed.MainHex.Data(), before);
    EXPECT_EQ(ed.fileNameField, a);
}

TEST(SaveCommand, TheImageBelongsToTheSavedFileAndItsOriginKeepsItsBackup) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const std::string a = dir.Path("a.fls"), b = dir.Path("b.fls");
    const SampleImage s = OpenSample(ed, ui, a);
    ed.MainHex.WriteAt(0x300, Bytes{0xAB});
    ui.saveAnswers = {b};
    SaveCommand(ed, ui);
    EXPECT_EQ(ed.fileNameField, b);
    EXPECT_FALSE(std::filesystem::exists(a + ".bak"));
    ed.MainHex.WriteAt(0x301, Bytes{0xCD});
    ui.saveAnswers = {a};
    SaveCommand(ed, ui);
    EXPECT_EQ(ui.Last(), "File Successfully saved!");
    EXPECT_EQ(ed.fileNameField, a);
    EXPECT_EQ(ReadFile(a + ".bak"), s.bytes);
    const Bytes saved = ReadFile(a);
    EXPECT_EQ(saved[0x300], 0xAB);
    EXPECT_EQ(saved[0x301], 0xCD);
}

TEST(FreeOffset, FreeRunThatReachesTheEndBehindTheHeaderText) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    EXPECT_EQ(GetFreeOffset(ed), s.layout.freeOffset);
    // A run of FF bytes inside the code (a hole an edit left in a table) is not the free
    // space: the run that reaches the end mark is.
    Bytes b = s.bytes;
    std::fill(b.begin() + 0x300, b.begin() + 0x300 + 40, 0xFF);
    WriteFile(dir.Path("b.fls"), b);
    OpenPath(ed, ui, dir.Path("b.fls"));
    EXPECT_EQ(ed.FreeOffset, s.layout.freeOffset);
    // Free space used up to the end mark: the first run of twenty FF bytes, as before;
    // nineteen are not a run.
    std::fill(b.begin() + s.layout.freeOffset, b.begin() + s.layout.mcuMark, 0x11);
    std::fill(b.begin() + 0x300 + 19, b.begin() + 0x300 + 40, 0x11);
    std::fill(b.begin() + 0x400, b.begin() + 0x400 + 20, 0xFF);
    WriteFile(dir.Path("c.fls"), b);
    OpenPath(ed, ui, dir.Path("c.fls"));
    EXPECT_EQ(ed.FreeOffset, 0x400);
}

TEST(SaveCommand, NothingToSave) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    SaveCommand(ed, ui);
    EXPECT_EQ(ui.Last(), "Nothing to save, Please open flash file first");
    OpenSample(ed, ui, dir.Path("a.fls"));
    SaveCommand(ed, ui);
    EXPECT_EQ(ui.Last(), "Nothing to save, Please edit flash file first");
    EXPECT_TRUE(ui.saveAsked.empty());
}

TEST(SaveCommand, WritesThenRepairsChecksumsThenReports) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    OpenSample(ed, ui, dir.Path("a.fls"));
    ed.MainHex.WriteAt(0x1000, Bytes{1, 2, 3, 4});
    const std::string out = dir.Path("out.fls");
    ui.saveAnswers = {out};
    SaveCommand(ed, ui);
    ASSERT_EQ(ui.saveAsked.size(), 1u);
    EXPECT_EQ(ui.saveAsked[0].title, "Save Flash As...");
    EXPECT_EQ(ui.saveAsked[0].filter, "Flash Files (*.fls) | *.fls");
    EXPECT_EQ(ui.saveAsked[0].defaultExt, "fls");
    EXPECT_TRUE(ui.saveAsked[0].overwritePrompt);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"File Successfully saved!"});
    const Bytes saved = ReadFile(out);
    EXPECT_TRUE(ChecksumsVerify(saved));
    EXPECT_EQ(saved[0x1000], 1);
    // The image in memory holds the repaired sums too, so a later save whose checksum
    // question is cancelled does not write back the ones from the open.
    EXPECT_TRUE(ChecksumsVerify(ed.MainHex.Data()));
    EXPECT_TRUE(ed.MainHex.Data() == saved);
}

TEST(SaveCommand, CancelledChecksumDialogLeavesTheFileAsWritten) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    OpenSample(ed, ui, dir.Path("a.fls"));
    ed.MainHex.WriteAt(0x1000, Bytes{1, 2, 3, 4});
    const std::string out = dir.Path("out.fls");
    ui.saveAnswers = {out};
    ui.checksumAnswers = {false};
    SaveCommand(ed, ui);
    EXPECT_EQ(ui.Messages(),
              (std::vector<std::string>{
                  "You have to update checksums manually before uploading the file to your phone",
                  "File Successfully saved!"}));
    EXPECT_EQ(ReadFile(out), ed.MainHex.Data());
}

TEST(SaveCommand, SavingOverTheOpenedFileKeepsABackup) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const std::string path = dir.Path("a.fls");
    const auto s = OpenSample(ed, ui, path);
    ed.MainHex.WriteAt(0x1000, Bytes{1});
    ui.saveAnswers = {path};
    SaveCommand(ed, ui);
    EXPECT_EQ(ReadFile(path + ".bak"), s.bytes);
    EXPECT_EQ(ReadFile(path)[0x1000], 1);
}

TEST(SaveCommand, PpmEditsAreWrittenBackBeforeSaving) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    // An edit of the TONE piece only: the image itself has no unsaved change.
    std::string& tone = ed.ppm[Piece::TONE];
    tone.replace(24, 2, "AB");
    ed.PpmChanged = true;
    ASSERT_FALSE(ed.MainHex.HasUnsavedChanges());
    ui.saveAnswers = {dir.Path("out.fls")};
    SaveCommand(ed, ui);
    const Bytes saved = ReadFile(dir.Path("out.fls"));
    EXPECT_EQ(saved[static_cast<std::size_t>(s.layout.chunk[5] + 12)], 0xAB);
}

TEST(SaveCommand, PiecesOfAnotherImageAreNeverWritten) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    OpenSample(ed, ui, dir.Path("a.fls"));
    ed.ppm[Piece::TONE].replace(24, 2, "AB");
    ed.PpmChanged = true;
    SampleOptions o;
    o.designation = kNoDesignation;
    o.seed = 7;
    const auto second = OpenSample(ed, ui, dir.Path("b.fls"), o);
    // The flag stays set, so the save goes ahead, but writes the second image as it is.
    ui.saveAnswers = {dir.Path("out.fls")};
    SaveCommand(ed, ui);
    EXPECT_NE(ui.Last(), "Nothing to save, Please edit flash file first");
    Bytes saved = ReadFile(dir.Path("out.fls"));
    EXPECT_EQ(Bytes(saved.begin(), saved.end() - 6),
              Bytes(second.bytes.begin(), second.bytes.end() - 6));
}

TEST(TabChange, NeedsAnImageAndAType) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    int languagesRead = 0;
    ed.Hook("languages").tabShown = [&](Editor&, Interaction&) { ++languagesRead; };
    TabChanged(ed, ui, Tab::Languages);  // no image: nothing at all
    EXPECT_TRUE(ui.told.empty());
    SampleOptions o;
    o.designation = kNoDesignation;  // a 3310 image the user has to name
    OpenSample(ed, ui, dir.Path("a.fls"), o);
    TabChanged(ed, ui, Tab::Languages);
    EXPECT_EQ(ui.Last(), "Please choose correct phone model");
    EXPECT_EQ(languagesRead, 0);
    // Chosen by hand, a type whose ringtone walk cannot read the image is refused.
    ChoosePhoneType(ed, ui, 18);
    EXPECT_EQ(ed.PhoneType(), 0);
    EXPECT_TRUE(Has(ui.Last(), "cannot be read as a 62XX/7110")) << ui.Last();
    // Taken all the same, the Menu tab still refuses it.
    ed.Hook("tones").typeChosen = nullptr;
    ed.phoneList.selected = 18;
    PhoneTypeChanged(ed, ui);
    TabChanged(ed, ui, Tab::Menu);
    TabChanged(ed, ui, Tab::Menu);
    EXPECT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Last(), "Menu editing not yet supported in this unit");
    EXPECT_TRUE(ed.texts.menuLanguages.empty());
    ChoosePhoneType(ed, ui, 4);
    // The Menu tab reads the languages itself and counts the COMM texts.
    TabChanged(ed, ui, Tab::Menu);
    EXPECT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(languagesRead, 0);
    EXPECT_FALSE(ed.texts.menuLanguages.empty());
    EXPECT_GT(ed.texts.CommTextCount, 0);
    TabChanged(ed, ui, Tab::Languages);
    EXPECT_EQ(languagesRead, 1);
}
