#include <algorithm>
#include <cctype>

#include "app/Features.h"
#include "cli/CliModule.h"
#include "cli/Rows.h"
#include "core/FileIO.h"
#include "core/Search.h"
#include "core/UserError.h"
#include "image/PhoneTypes.h"
#include "ppm/Checksums.h"
#include "ppm/FreeSpace.h"
#include "sample/SampleBuilder.h"

namespace brivant {

namespace {

constexpr const char* kNoChunkCommand = "No command handles the %s chunk";
constexpr const char* kGiveMcuOrPpm = "space adjust: give --mcu N or --ppm N";
// The free bytes that the area giving space keeps, as the adjustment's prompt counts them.
constexpr std::int64_t kAdjustReserve = 62;
constexpr const char* kTooManyBytes =
    "space adjust: %s bytes is more than the %s free bytes the %s area can give";
constexpr const char* kForeignDesignation = "--designation does not belong to that phone type";
constexpr const char* kSampleWritten = "sample image of type %s written to %s";
// The message checksum reading gives for a file it cannot read.
constexpr const char* kCannotOpen = "Cannot open file %s";
constexpr const char* kFixNeedsFile = "--fix rewrites a file: IMAGE cannot be standard input";

std::optional<std::int64_t> FieldNumber(const std::string& field) {
    if (field.empty()) return std::nullopt;
    try {
        return StrToInt(field);
    } catch (const UserError&) {
        return std::nullopt;
    }
}

void NumberOrNull(Json& j, const std::optional<std::int64_t>& v) {
    if (v)
        j.Number(*v);
    else
        j.Null();
}

struct ChunkInfo {
    std::string tag;
    std::int64_t offset, length;
    bool ok;
};

std::vector<ChunkInfo> Chunks(const Editor& ed) {
    std::vector<ChunkInfo> chunks;
    if (!ed.ppm.split) return chunks;
    for (int i = 0; i < kChunkCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const Bytes b = HexToBytes(ed.ppm.pieces[at]);
        const auto sum = ChunkChecksum(b);
        chunks.push_back({PieceTag(static_cast<Piece>(i)), ed.ppm.chunkOffset[at],
                          static_cast<std::int64_t>(b.size()), sum && GetBE32(b.data()) == *sum});
    }
    return chunks;
}

void InfoJson(std::ostream& out, const Editor& ed, const ImageOptions& o) {
    Json j;
    j.BeginObject();
    j.Key("file").String(o.image);
    j.Key("size").Number(ed.MainHex.Size());
    j.Key("phoneType").BeginObject();
    j.Key("index").Number(ed.PhoneType()).Key("text").String(ed.PhoneTypeText());
    j.EndObject();
    j.Key("model").String(ed.ModelName);
    j.Key("unitModelHex").String(ed.UnitModelHex);
    j.Key("freeOffset").Number(ed.FreeOffset);
    j.Key("mcuFree");
    NumberOrNull(j, FieldNumber(ed.mcuFreeField));
    j.Key("ppmFree");
    NumberOrNull(j, FieldNumber(ed.ppmFreeField));
    j.Key("chunks").BeginArray();
    for (const auto& c : Chunks(ed)) {
        j.BeginObject();
        j.Key("tag").String(c.tag).Key("offset").Number(c.offset).Key("length").Number(c.length);
        j.Key("checksumOk").Bool(c.ok);
        j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    out << j.Text() << '\n';
}

void Info(CliSession& s, const ImageOptions& o) {
    const Editor& ed = s.ed;
    std::ostream& out = s.ctx.out;
    if (o.json) return InfoJson(out, ed, o);
    auto num = [](const std::string& field) {
        const auto v = FieldNumber(field);
        return v ? std::to_string(*v) : std::string("-");
    };
    out << "File:        " << PrintableLine(o.image) << "\n"
        << "Size:        " << ed.MainHex.Size() << " bytes\n"
        << "Phone type:  " << ed.PhoneType() << " \"" << ed.PhoneTypeText() << "\"\n"
        << "Model:       " << PrintableLine(ed.ModelName) << "\n"
        << "Free offset: " << ed.FreeOffset << "\n"
        << "MCU free:    " << num(ed.mcuFreeField) << " bytes\n"
        << "PPM free:    " << num(ed.ppmFreeField) << " bytes\n";
    const auto chunks = Chunks(ed);
    if (!chunks.empty()) out << "Chunks:      tag   offset    length    checksum\n";
    for (const auto& c : chunks)
        out << "             " << c.tag << "  " << IntToHex(static_cast<std::uint32_t>(c.offset), 8)
            << "  " << IntToHex(static_cast<std::uint32_t>(c.length), 8) << "  "
            << (c.ok ? "ok" : "WRONG") << "\n";
}

// The window pads an odd hex pattern and skips stray characters; on the command line such a
// pattern is more likely a typing slip than meant, so only whole bytes of hex digits pass.
CLI::Validator SearchPattern() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (!text.empty() && (text[0] == 'T' || text[0] == 't'))
                return text.size() > 1 ? "" : "'" + text + "' holds no text to search for";
            const bool hex = std::all_of(text.begin(), text.end(),
                                         [](unsigned char c) { return std::isxdigit(c) != 0; });
            if (!text.empty() && hex && text.size() % 2 == 0) return {};
            return "'" + text + "' is not an even number of hex digits (or T/t and text)";
        },
        "PATTERN");
}

struct SearchArgs : ImageOptions {
    std::string pattern;
    std::int32_t from = 1;
    bool all = false;
};

void Search(CliSession& s, const SearchArgs& a) {
    Editor& ed = s.ed;
    std::vector<std::int32_t> hits;
    ed.MainHex.SetSelectionStart(a.from);
    FindOffSet1(ed, a.pattern);
    while (ed.FoundOffset >= 0) {
        hits.push_back(ed.FoundOffset);
        if (!a.all || ed.FoundOffset + 1 >= ed.MainHex.Size()) break;
        ed.MainHex.SetSelectionStart(ed.FoundOffset + 1);
        FindOffSet1(ed, a.pattern);
    }
    PrintEach(
        s.ctx.out, a.json, "hits", hits, [](Json& j, std::int32_t h) { j.Number(h); },
        [](std::int32_t h) {
            return std::to_string(h) + " (0x" + IntToHex(static_cast<std::uint32_t>(h), 8) + ")";
        });
}

struct ChecksumArgs : ImageOptions {
    bool fix = false;
    bool check = false;
};

constexpr const char* kChecksumsWrong = "the stored checksums are not the computed ones";

void Checksum(CliContext& ctx, const ChecksumArgs& a) {
    // The repair opens the file for writing: a FIFO would wait there and a device never end.
    if (a.fix && StandIns::IsStdio(a.image)) UsageError(ctx, kFixNeedsFile);
    const std::string path = InputArg(ctx, a.image);
    if (const std::string problem = InputProblem(path); !problem.empty())
        throw UserError(Format(kCannotOpen, {path}) + " (" + problem + ")");
    if (a.fix) RepairFileChecksums(path);
    const Bytes b = ReadWholeFile(path, kCannotOpen);
    const auto mcu = McuChecksum(b);
    const auto fls = FlsCheckValue(b);
    const bool hasTail = b.size() >= 6;
    const std::string mcuStored = b.size() >= 36 ? IntToHex(GetBE16(&b[34]), 4) : "";
    const std::string copyStored = hasTail ? IntToHex(GetBE16(&b[b.size() - 6]), 4) : "";
    const std::string fileStored = hasTail ? IntToHex(GetBE32(&b[b.size() - 4]), 8) : "";
    // --check: exit 1 unless both copies of the MCU checksum and the file check value are
    // the computed ones (a file too short to compute them fails too).
    const bool right = mcu && fls && mcuStored == IntToHex(*mcu, 4) &&
                       copyStored == IntToHex(*mcu, 4) && fileStored == IntToHex(*fls, 8);
    const auto verdict = [&] {
        if (!a.check || right) return;
        ctx.err << kProgramPrefix << kChecksumsWrong << '\n';
        throw CliExit{1};
    };
    if (!a.json) {
        ctx.out << "MCU checksum:      stored " << (mcuStored.empty() ? "-" : mcuStored)
                << ", computed " << (mcu ? IntToHex(*mcu, 4) : "- (range outside the file)") << "\n"
                << "MCU checksum copy: stored " << (copyStored.empty() ? "-" : copyStored) << "\n"
                << "File check value:  stored " << (fileStored.empty() ? "-" : fileStored)
                << ", computed " << (fls ? IntToHex(*fls, 8) : "- (file shorter than 128 bytes)")
                << "\n";
        return verdict();
    }
    Json j;
    j.BeginObject().Key("mcu");
    if (mcu)
        j.BeginObject()
            .Key("stored")
            .String(mcuStored)
            .Key("computed")
            .String(IntToHex(*mcu, 4))
            .EndObject();
    else
        j.Null();
    j.Key("mcuCopy");
    if (hasTail)
        j.BeginObject().Key("stored").String(copyStored).EndObject();
    else
        j.Null();
    j.Key("file");
    if (hasTail) {
        j.BeginObject().Key("stored").String(fileStored).Key("computed");
        if (fls)
            j.String(IntToHex(*fls, 8));
        else
            j.Null();
        j.EndObject();
    } else {
        j.Null();
    }
    j.EndObject();
    ctx.out << j.Text() << '\n';
    verdict();
}

// The chunks the features list, in their order; each feature's own "Retrie&ve All" and
// "&Load All" handle its chunk.
std::vector<std::string> ChunkTags() {
    std::vector<std::string> tags;
    for (const Feature& f : Features())
        if (f.chunk) tags.emplace_back(PieceTag(*f.chunk));
    return tags;
}

const Feature& ChunkFeature(const std::string& tag) {
    const auto piece = PieceFromTag(tag);
    const Feature* f = piece ? FeatureOfChunk(*piece) : nullptr;
    if (!f) throw UserError(Format(kNoChunkCommand, {tag}));
    return *f;
}

struct ChunkArgs : ImageOptions {
    std::string tag;
    std::string file;
};

constexpr Flow kChunkExport{.needsType = true};
constexpr Flow kChunkImport{.saves = true, .needsType = true};

void AddChunkCommands(CLI::App& app, CliContext& ctx) {
    const std::vector<std::string> tags = ChunkTags();
    const std::string choice = ChoiceText(tags);
    const std::string what = "Export or import a whole " + choice + " chunk";
    CLI::App* chunk = AddGroup(app, "chunk", what.c_str());

    Command<ChunkArgs> exp(ctx, chunk, "export", "Write the chunk to a PPMChunk file (*.bin)");
    exp.Image();
    exp->add_option("TAG", exp.args().tag, "Chunk to write: " + choice)
        ->required()
        ->check(CLI::IsMember(tags));
    exp->add_option("OUT", exp.args().file, "PPMChunk file to write (- writes standard output)")
        ->required();
    exp.TypeOption().Runs([](CliContext& c, const ChunkArgs& a) {
        const Feature& f = ChunkFeature(a.tag);
        RunOnImage(c, a, kChunkExport, [&](CliSession& s) {
            s.ui.saveFiles.push_back(a.file);
            f.retrieveAll(s.ed, s.ui);
        });
    });

    Command<ChunkArgs> imp(ctx, chunk, "import", "Replace the chunk by a PPMChunk file (*.bin)");
    imp.Image();
    imp->add_option("TAG", imp.args().tag, "Chunk to replace: " + choice)
        ->required()
        ->check(CLI::IsMember(tags));
    imp->add_option("IN", imp.args().file, "PPMChunk file to read (- reads standard input)")
        ->required();
    imp.TypeOption().Output().Runs([](CliContext& c, const ChunkArgs& a) {
        const Feature& f = ChunkFeature(a.tag);
        RunOnImage(c, a, kChunkImport, [&](CliSession& s) {
            s.ui.openFiles.push_back(a.file);
            f.loadAll(s.ed, s.ui);  // also reads the feature's list again
        });
    });
}

struct SpaceArgs : ImageOptions {
    std::string mcu, ppm;
};

void AddSpaceCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* space = AddGroup(app, "space", "Move free space between the MCU and PPM areas");
    Command<SpaceArgs> adjust(ctx, space, "adjust",
                              "Give N free bytes to the MCU (--mcu) or the PPM (--ppm)");
    adjust.Image();
    auto* m = AddNumber(adjust.app(), "--mcu", adjust.args().mcu, "Bytes the MCU area gains", 1);
    auto* p = AddNumber(adjust.app(), "--ppm", adjust.args().ppm, "Bytes the PPM area gains", 1);
    m->excludes(p);
    adjust.TypeOption().Output().Runs([](CliContext& c, const SpaceArgs& a) {
        if (a.mcu.empty() && a.ppm.empty()) UsageError(c, kGiveMcuOrPpm);
        const bool mcu = !a.mcu.empty();
        RunOnImage(c, a, {.saves = true}, [&](CliSession& s) {
            // The window asks again for an amount above its limit; an argument cannot be
            // asked again, so it is refused with the limit.
            const std::string& amount = mcu ? a.mcu : a.ppm;
            const auto giving = FieldNumber(mcu ? s.ed.ppmFreeField : s.ed.mcuFreeField);
            if (giving && *giving >= kAdjustReserve &&
                StrToInt(amount) > *giving - kAdjustReserve) {
                s.ui.error(Format(kTooManyBytes, {amount, std::to_string(*giving - kAdjustReserve),
                                                  mcu ? "PPM" : "MCU"}));
                throw CliExit{1};
            }
            s.ui.texts.push_back(amount);
            AdjustSpace(s.ed, s.ui, mcu ? AdjustTarget::MCU : AdjustTarget::PPM);
        });
    });
}

struct DemoArgs {
    std::string out;
    std::string type = "3310";
    int mib = 0;  // the family's own size
    bool noMark = false;
    bool occupied = false;
    int designation = -1;
};

void Demo(CliContext& ctx, const DemoArgs& a) {
    const int family = PhoneTypeIndex(a.type);
    if (family == 0) UnknownPhoneType(ctx, a.type);
    SampleOptions so = DemoSampleOptions(family, a.mib);
    so.mcuEndMark = !a.noMark;
    so.occupiedBelowPpm = a.occupied;
    if (a.designation != -1) {
        const auto& rows = Designations();
        if (a.designation < 0 || a.designation >= static_cast<int>(rows.size()) ||
            rows[static_cast<std::size_t>(a.designation)].index != so.family)
            UsageError(ctx, kForeignDesignation);
        so.designation = a.designation;
    }
    WriteFileAtomic(OutputArg(ctx, a.out), BuildSample(so).bytes);
    // On standard output the image itself is the answer; a line saying so would come before
    // the write that may still fail.
    if (!ctx.quiet && !StandIns::IsStdio(a.out))
        ctx.err << kProgramPrefix << MessageLine(Format(kSampleWritten, {a.type, a.out})) << '\n';
}

void AddDemoCommand(CLI::App& app, CliContext& ctx) {
    Command<DemoArgs> demo(ctx, &app, "demo", "Write a sample image made by the sample builder");
    DemoArgs& a = demo.args();
    demo->add_option("OUT", a.out, "Image file to write (- writes standard output)")->required();
    demo->add_option("--type", a.type, "Phone type of the sample (default 3310)");
    AddNumber(demo.app(), "--size", a.mib,
              "Size in MiB, 1 to 8 (default 2, or what the family's animations need)", 1, 8);
    demo->add_flag("--no-mark", a.noMark, "Leave out the mark that ends the MCU free space");
    demo->add_flag("--occupied", a.occupied, "Put data right below the PPM marker");
    AddNumber(demo.app(), "--designation", a.designation,
              "Row (0-23) of the type designation table to write in the PPM header", 0);
    demo.Runs(Demo);
}

}  // namespace

// Commands on the image as a whole: what it is, searching it, its checksums, whole chunks,
// the free space, and sample images.
void CoreCommands(CLI::App& app, CliContext& ctx) {
    Command<> info(ctx, &app, "info", "Open an image and show its type, free space and chunks");
    info.Image().TypeOption().JsonFlag().RunsOnImage({.tolerant = true}, Info);

    Command<SearchArgs> search(ctx, &app, "search",
                               "Search the image for a hex pattern (or text after T / t)");
    search.Image();
    search->add_option("PATTERN", search.args().pattern, "Hex digits, or T/t followed by text")
        ->required()
        ->check(SearchPattern());
    AddNumber(search.app(), "--from", search.args().from, "Offset to start at (default 1)", 0);
    search->add_flag("--all", search.args().all,
                     "Every hit, each search from the previous hit + 1");
    search.TypeOption().JsonFlag().RunsOnImage({.tolerant = true}, Search);

    Command<ChecksumArgs> checksum(ctx, &app, "checksum",
                                   "Show (or repair) the MCU checksum and file check value");
    checksum.Image();
    auto* fix = checksum->add_flag("--fix", checksum.args().fix,
                                   "Rewrite the file with repaired checksums");
    checksum
        ->add_flag("--check", checksum.args().check,
                   "Exit with status 1 when a stored checksum is not the computed one")
        ->excludes(fix);
    checksum.JsonFlag().Runs(Checksum);

    AddChunkCommands(app, ctx);
    AddSpaceCommands(app, ctx);
    AddDemoCommand(app, ctx);
}

}  // namespace brivant
