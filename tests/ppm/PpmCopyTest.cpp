#include <gtest/gtest.h>

#include <algorithm>

#include "app/FileFlow.h"
#include "core/Clipboard.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "ppm/PpmCopy.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

TEST(SplitPPM, CutsTheSevenChunksAndTheRemainder) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    ASSERT_TRUE(ed.ppm.split);
    std::int32_t total = 0;
    for (int i = 0; i < kChunkCount; ++i) {
        const auto at = static_cast<std::size_t>(s.layout.chunk[static_cast<std::size_t>(i)]);
        const auto len = static_cast<std::size_t>(s.layout.chunkSize[static_cast<std::size_t>(i)]);
        EXPECT_EQ(ed.ppm.pieces[static_cast<std::size_t>(i)], BytesToHex(&s.bytes[at], len)) << i;
        EXPECT_EQ(ed.ppm.chunkOffset[static_cast<std::size_t>(i)],
                  s.layout.chunk[static_cast<std::size_t>(i)]);
        total += static_cast<std::int32_t>(2 * len);
    }
    const auto rest = static_cast<std::size_t>(s.layout.remainder);
    const auto restLen = static_cast<std::size_t>(s.layout.ppmFree - s.layout.remainder);
    EXPECT_EQ(ed.ppm[Piece::Remainder], BytesToHex(&s.bytes[rest], restLen));
    EXPECT_EQ(ed.ppm.totalLength, total + static_cast<std::int32_t>(2 * restLen));
}

TEST(UpdatePPM, UnchangedCopyWritesBackTheSameBytes) {
    TempDir dir;
    for (int family : {1, 4, 18}) {
        Editor ed;
        FakeUi ui;
        SampleOptions o;
        o.family = family;
        const auto s = OpenSample(ed, ui, dir.Path("a.fls"), o);
        UpdatePPM(ed);
        EXPECT_EQ(ed.MainHex.Data(), s.bytes) << family;
    }
}

TEST(UpdatePPM, ShrunkChunkIsPaddedWithFreeBytesUpToTheOldEnd) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    std::string& tone = ed.ppm[Piece::TONE];
    tone.erase(40, 12);  // 6 bytes out of the body
    UpdatePPM(ed);
    const std::string clip = ClipboardGet();
    EXPECT_EQ(clip.substr(clip.size() - 12), std::string(12, 'F'));
    const Bytes& m = ed.MainHex.Data();
    const auto oldEnd = static_cast<std::size_t>(s.layout.ppmFree);
    for (std::size_t i = oldEnd - 6; i < oldEnd; ++i) EXPECT_EQ(m[i], 0xFF) << i;
    EXPECT_TRUE(std::equal(m.begin() + static_cast<std::ptrdiff_t>(oldEnd), m.end(),
                           s.bytes.begin() + static_cast<std::ptrdiff_t>(oldEnd)));
    // The chunks after TONE moved down by six bytes.
    const auto plmn = static_cast<std::size_t>(s.layout.chunk[6]);
    EXPECT_EQ(BytesToHex(&m[plmn - 6], 12), BytesToHex(&s.bytes[plmn], 12));
}

TEST(UpdatePPM, GrownCopyUsesFreeBytesBehindTheOldEnd) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    ed.ppm[Piece::PLMN].insert(24, "ABCDEF01");
    UpdatePPM(ed);
    const auto end = static_cast<std::size_t>(s.layout.ppmFree);
    EXPECT_EQ(BytesToHex(&ed.MainHex.Data()[end], 4), BytesToHex(&s.bytes[end - 4], 4));
}

TEST(UpdatePPM, RefusesACopyThatWouldPassThePpmEndAddress) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    const auto s = OpenSample(ed, ui, dir.Path("a.fls"));
    const std::int32_t room = s.layout.ppmEnd - s.layout.ppmFree + 1;
    ed.ppm[Piece::TONE].append(static_cast<std::size_t>(2 * room), 'A');  // exactly fills the area
    UpdatePPM(ed);
    // The remainder now ends on the last byte of the area.
    EXPECT_EQ(ed.MainHex.Data()[static_cast<std::size_t>(s.layout.ppmEnd)],
              s.bytes[static_cast<std::size_t>(s.layout.ppmFree - 1)]);
    EXPECT_EQ(ed.MainHex.Data()[static_cast<std::size_t>(s.layout.ppmEnd + 1)],
              s.bytes[static_cast<std::size_t>(s.layout.ppmEnd + 1)]);

    Editor ed2;
    OpenSample(ed2, ui, dir.Path("b.fls"));
    ed2.ppm[Piece::TONE].append(static_cast<std::size_t>(2 * room + 2), 'A');
    const Bytes before = ed2.MainHex.Data();
    EXPECT_THROW(UpdatePPM(ed2), UserError);
    EXPECT_EQ(ed2.MainHex.Data(), before);

    // Through the save command: a clear message, and no file.
    ed2.PpmChanged = true;
    ui.saveAnswers = {dir.Path("out.fls")};
    EXPECT_THROW(SaveCommand(ed2, ui), UserError);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.fls")));
}

TEST(SplitPPM, TagInsideAnEarlierChunkIsFoundThere) {
    TempDir dir;
    auto s = BuildSample({});
    // "TONE" inside the AORD body: the TONE search starts at the AORD chunk.
    const auto aord = static_cast<std::size_t>(s.layout.chunk[4]);
    const Bytes tag{'T', 'O', 'N', 'E'};
    std::copy(tag.begin(), tag.end(), s.bytes.begin() + static_cast<std::ptrdiff_t>(aord + 40));
    WriteFile(dir.Path("a.fls"), s.bytes);
    Editor ed;
    FakeUi ui;
    OpenPath(ed, ui, dir.Path("a.fls"));
    ASSERT_TRUE(ed.ppm.split);
    EXPECT_EQ(ed.ppm.chunkOffset[5], static_cast<std::int32_t>(aord + 32));
    EXPECT_EQ(ed.ppm[Piece::TONE].substr(16, 8), "544F4E45");
}

TEST(SplitPPM, MissingTagOrTrailerStopsTheSplit) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    auto s = BuildSample({});
    // No TONE tag any more, nor the text anywhere behind the chunk before it.
    const std::string tone = "TONE";
    for (auto it = s.bytes.begin() + s.layout.chunk[4];
         (it = std::search(it, s.bytes.end(), tone.begin(), tone.end())) != s.bytes.end();)
        *it = 'X';
    // Loaded without the open flow, which refuses such an image before it replaces the open one.
    WriteFile(dir.Path("a.fls"), s.bytes);
    ed.MainHex.LoadFile(dir.Path("a.fls"));
    try {
        SplitPPM(ed);
        FAIL();
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), "Invalid selection start");
    }
    EXPECT_FALSE(ed.ppm.split);

    auto t = BuildSample({});
    // Break every trailer from PLMN on, so its search runs off the end.
    for (std::size_t i = static_cast<std::size_t>(t.layout.chunk[6]); i + 16 <= t.bytes.size(); ++i)
        if (BytesToHex(&t.bytes[i], 16) == kTrailerHex) t.bytes[i + 7] = 0x11;
    WriteFile(dir.Path("b.fls"), t.bytes);
    ed.MainHex.LoadFile(dir.Path("b.fls"));
    try {
        SplitPPM(ed);
        FAIL();
    } catch (const UserError& e) {
        EXPECT_STREQ(e.what(), "The PLMN chunk has no end marker; the PPM area cannot be read");
    }
    EXPECT_FALSE(ed.ppm.split);
}

TEST(SealChunk, WritesLengthAndChecksumAndMarksTheCopy) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    OpenSample(ed, ui, dir.Path("a.fls"));
    ed.SubHex.SetHexText(ed.ppm[Piece::PLMN] + "11223344");
    SealChunk(ed, Piece::PLMN);
    const Bytes b = HexToBytes(ed.ppm[Piece::PLMN]);
    EXPECT_EQ(GetBE32(&b[4]), b.size());
    EXPECT_EQ(GetBE32(&b[0]), *ChunkChecksum(b));
    EXPECT_TRUE(ed.PpmChanged);
}

TEST(ChunkFiles, RetrieveAllAndLoadAllRoundTrip) {
    TempDir dir;
    Editor ed;
    FakeUi ui;
    OpenSample(ed, ui, dir.Path("a.fls"));
    const std::string file = dir.Path("text.bin");
    ui.saveAnswers = {std::nullopt, file};
    EXPECT_FALSE(RetrieveAllChunk(ed, ui, Piece::TEXT, "Save Language File As..."));
    EXPECT_TRUE(RetrieveAllChunk(ed, ui, Piece::TEXT, "Save Language File As..."));
    EXPECT_EQ(ui.saveAsked[0].filter, "PPMChunk (*.bin) | *.bin");
    EXPECT_EQ(ui.saveAsked[0].defaultExt, "bin");
    EXPECT_EQ(BytesToHex(ReadFile(file)), ed.ppm[Piece::TEXT]);
    EXPECT_FALSE(ed.PpmChanged);

    // Load with a recomputed checksum: a damaged sum comes back right.
    Bytes chunk = ReadFile(file);
    chunk[0] ^= 0xFF;
    WriteFile(file, chunk);
    ui.openAnswers = {file, file};
    EXPECT_TRUE(LoadAllChunk(ed, ui, Piece::TEXT, "Open Language Files...", true));
    EXPECT_EQ(ui.openAsked[0].filter, "PPMChunk (*.bin)|*.bin");
    const Bytes loaded = HexToBytes(ed.ppm[Piece::TEXT]);
    EXPECT_EQ(GetBE32(&loaded[0]), *ChunkChecksum(loaded));
    EXPECT_TRUE(ed.PpmChanged);
    // A TEXT chunk is no TONE chunk: refused, the TONE piece kept.
    const std::string tone = ed.ppm[Piece::TONE];
    EXPECT_EQ(ErrorOf([&] { LoadAllChunk(ed, ui, Piece::TONE, "Open Tone Files...", false); }),
              Format(kNotAChunkFile, {"text.bin", "TONE", "its tag is \"TEXT\", not \"TONE\""}));
    EXPECT_EQ(ed.ppm[Piece::TONE], tone);
}
