#include <gtest/gtest.h>

#include "app/Features.h"
#include "core/UserError.h"
#include "ppm/PpmCopy.h"
#include "support/TestSupport.h"

namespace brivant::test {
namespace {

// Bytes of a chunk with its length field and checksum field left as they are.
Bytes WithBody(const Bytes& chunk, const Bytes& body) {
    Bytes c(chunk.begin(), chunk.begin() + 12);
    c.insert(c.end(), body.begin(), body.end());
    c.insert(c.end(), chunk.end() - 16, chunk.end());
    PutBE32(&c[4], static_cast<std::uint32_t>(c.size()));
    return c;
}

// The chunk with the text that follows it in the PPM area (the next chunk's tag, or the
// PPM end text after PLMN) added at the end of its body.
Bytes NextTagInside(Piece piece, const Bytes& chunk) {
    const std::string next = piece == Piece::TEXT   ? "AORD"
                             : piece == Piece::TONE ? "PLMN"
                                                    : "DUMFILE";
    Bytes body(chunk.begin() + 12, chunk.end() - 16);
    body.insert(body.end(), next.begin(), next.end());
    while (body.size() % 4) body.push_back(0xFF);
    return WithBody(chunk, body);
}

struct BadChunk {
    std::string name;
    Bytes bytes;
};

// Files that must not become the piece: not chunks at all, chunks of another tag or of
// another layout, and chunks whose records the feature's list cannot read whole.
std::vector<BadChunk> BadChunks(Piece piece) {
    SampleFixture own(4);
    SampleFixture wide(18);
    const Bytes chunk = own.Chunk(piece);
    Bytes truncated(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(chunk.size() / 2));
    Bytes lengthOff = chunk;
    PutBE32(&lengthOff[4], static_cast<std::uint32_t>(chunk.size() + 4));
    Bytes earlyEnd = chunk;  // a second end marker in the middle of the body
    const Bytes trailer = HexToBytes(kTrailerHex);
    std::copy(trailer.begin(), trailer.end(), earlyEnd.begin() + 16);
    // A record that claims more bytes than there are: its length field after the chunk
    // header, where every one of the three chunks has its first record.
    Bytes damaged = chunk;
    const std::size_t first = piece == Piece::TONE ? 20 : piece == Piece::TEXT ? 12 : 12;
    PutBE32(&damaged[first + 4], 0x7FFFFFF0u);
    const Piece other = piece == Piece::TONE ? Piece::TEXT : Piece::TONE;
    std::vector<BadChunk> bad = {
        {"empty.bin", {}},
        {"one.bin", {0x42}},
        {"zeros.bin", Bytes(8, 0)},
        {"random.bin", NoiseBytes(400, 3)},
        {"notes.bin",
         [] {
             const std::string t = "A text file, not a chunk.\nIt has two lines.\n";
             return Bytes(t.begin(), t.end());
         }()},
        {"truncated.bin", truncated},
        {"length.bin", lengthOff},
        {"early-end.bin", earlyEnd},
        {"damaged.bin", damaged},
        {"other-tag.bin", own.Chunk(other)},
        // The next chunk's tag (or the PPM end text) inside the body would be found there
        // by the next split.
        {"next-tag.bin", NextTagInside(piece, chunk)},
    };
    if (piece == Piece::TONE) bad.push_back({"wide-tones.bin", wide.Chunk(Piece::TONE)});
    return bad;
}

// Every kind of bad file through the Load All of each chunk's own list and through the
// command line's chunk import: refused by name, and nothing changes.
TEST(ChunkImport, BadFilesAreRefusedAndChangeNothing) {
    for (Piece piece : {Piece::TONE, Piece::TEXT, Piece::PLMN}) {
        const std::string tag = PieceTag(piece);
        for (const BadChunk& bad : BadChunks(piece)) {
            SampleFixture f(4);
            const Bytes image = f.ed.MainHex.Data();
            const auto pieces = f.ed.ppm.pieces;
            const auto rows = f.ed.tones.ringtones.size();
            f.ui.openAnswers.push_back(f.File(bad.name, bad.bytes));
            const std::string error = ErrorOf([&] { FeatureOfChunk(piece)->loadAll(f.ed, f.ui); });
            EXPECT_EQ(error.rfind(bad.name + " is not a " + tag + " chunk file: ", 0), 0u)
                << tag << " " << bad.name << ": " << error;
            EXPECT_TRUE(f.ed.MainHex.Data() == image);
            EXPECT_TRUE(f.ed.ppm.pieces == pieces) << tag << " " << bad.name;
            EXPECT_FALSE(f.ed.PpmChanged);
            EXPECT_EQ(f.ed.tones.ringtones.size(), rows);

            const std::string x = f.dir.Path("x.fls"), y = f.dir.Path("y.fls");
            ASSERT_EQ(Cli({"demo", x, "--type", "3310"}).status, 0);
            const CliRun r = Cli({"chunk", "import", x, tag, f.dir.Path(bad.name), "-o", y});
            EXPECT_EQ(r.status, 1) << tag << " " << bad.name << ": " << r.err;
            EXPECT_TRUE(Has(r.err, bad.name + " is not a " + tag + " chunk file")) << r.err;
            EXPECT_FALSE(std::filesystem::exists(y)) << tag << " " << bad.name;
        }
    }
}

// Whole chunks the editor writes load back, on every family, and leave the piece as it was.
TEST(ChunkImport, ExportedChunksLoadBackOnEveryFamily) {
    for (int family = 1; family <= 18; ++family) {
        SampleFixture f(family);
        for (Piece piece : {Piece::TONE, Piece::TEXT, Piece::PLMN}) {
            const std::string before = f.ed.ppm[piece];
            const std::string file = f.dir.Path(std::string(PieceTag(piece)) + ".bin");
            f.ui.saveAnswers.push_back(file);
            FeatureOfChunk(piece)->retrieveAll(f.ed, f.ui);
            f.ui.openAnswers.push_back(file);
            const std::string error = ErrorOf([&] { FeatureOfChunk(piece)->loadAll(f.ed, f.ui); });
            EXPECT_EQ(error, "") << family << " " << PieceTag(piece);
            EXPECT_EQ(f.ed.ppm[piece], before) << family << " " << PieceTag(piece);
        }
        EXPECT_TRUE(f.ui.told.empty()) << family << ": " << f.ui.Last();
    }
}

}  // namespace
}  // namespace brivant::test
