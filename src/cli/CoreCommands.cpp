#include <iomanip>
#include <map>
#include <sstream>

#include "cli/CliCommon.h"
#include "app/Features.h"
#include "app/FileFlow.h"
#include "core/FileIO.h"
#include "image/PhoneTypes.h"
#include "core/Search.h"
#include "core/UserError.h"
#include "ppm/Checksums.h"
#include "ppm/FreeSpace.h"
#include "sample/SampleBuilder.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "tones/RingtoneCommands.h"

namespace brivant {

namespace {

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

void Info(CliContext& ctx, const ImageOptions& o) {
    CliSession s(ctx, o);
    s.Open(true);
    const Editor& ed = s.ed;
    const auto mcu = FieldNumber(ed.mcuFreeField);
    const auto ppm = FieldNumber(ed.ppmFreeField);

    struct ChunkInfo {
        std::string tag;
        std::int64_t offset, length;
        bool ok;
    };
    std::vector<ChunkInfo> chunks;
    if (ed.ppm.split) {
        for (int i = 0; i < kChunkCount; ++i) {
            const Bytes b = HexToBytes(ed.ppm.pieces[static_cast<std::size_t>(i)]);
            const auto sum = ChunkChecksum(b);
            chunks.push_back(
                {PieceTag(static_cast<Piece>(i)), ed.ppm.chunkOffset[static_cast<std::size_t>(i)],
                 static_cast<std::int64_t>(b.size()), sum && GetBE32(b.data()) == *sum});
        }
    }

    if (o.json) {
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
        NumberOrNull(j, mcu);
        j.Key("ppmFree");
        NumberOrNull(j, ppm);
        j.Key("chunks").BeginArray();
        for (const auto& c : chunks) {
            j.BeginObject();
            j.Key("tag").String(c.tag).Key("offset").Number(c.offset).Key("length").Number(
                c.length);
            j.Key("checksumOk").Bool(c.ok);
            j.EndObject();
        }
        j.EndArray();
        j.EndObject();
        ctx.out << j.Text() << '\n';
        return;
    }
    auto num = [](const std::optional<std::int64_t>& v) {
        return v ? std::to_string(*v) : std::string("-");
    };
    ctx.out << "File:        " << o.image << "\n"
            << "Size:        " << ed.MainHex.Size() << " bytes\n"
            << "Phone type:  " << ed.PhoneType() << " \"" << ed.PhoneTypeText() << "\"\n"
            << "Model:       " << ed.ModelName << "\n"
            << "Free offset: " << ed.FreeOffset << "\n"
            << "MCU free:    " << num(mcu) << " bytes\n"
            << "PPM free:    " << num(ppm) << " bytes\n";
    if (!chunks.empty()) ctx.out << "Chunks:      tag   offset    length    checksum\n";
    for (const auto& c : chunks)
        ctx.out << "             " << c.tag << "  "
                << IntToHex(static_cast<std::uint32_t>(c.offset), 8) << "  "
                << IntToHex(static_cast<std::uint32_t>(c.length), 8) << "  "
                << (c.ok ? "ok" : "WRONG") << "\n";
}

void Search(CliContext& ctx, const ImageOptions& o, const std::string& pattern, std::int32_t from,
            bool all) {
    CliSession s(ctx, o);
    s.Open(true);
    Editor& ed = s.ed;
    std::vector<std::int32_t> hits;
    ed.MainHex.SetSelectionStart(from);
    FindOffSet1(ed, pattern);
    while (ed.FoundOffset >= 0) {
        hits.push_back(ed.FoundOffset);
        if (!all || ed.FoundOffset + 1 >= ed.MainHex.Size()) break;
        ed.MainHex.SetSelectionStart(ed.FoundOffset + 1);
        FindOffSet1(ed, pattern);
    }
    if (o.json) {
        Json j;
        j.BeginObject().Key("hits").BeginArray();
        for (auto h : hits) j.Number(h);
        j.EndArray().EndObject();
        ctx.out << j.Text() << '\n';
    } else {
        for (auto h : hits)
            ctx.out << h << " (0x" << IntToHex(static_cast<std::uint32_t>(h), 8) << ")\n";
    }
}

void Checksum(CliContext& ctx, const ImageOptions& o, bool fix) {
    if (fix) {
        try {
            RepairFileChecksums(o.image);
        } catch (const UserError& e) {
            ctx.err << "brivant-cli: " << MessageLine(e.what()) << '\n';
            throw CliExit{1};
        }
    }
    const Bytes b = ReadWholeFile(o.image, "Cannot open file %s");
    const auto mcu = McuChecksum(b);
    const auto fls = FlsCheckValue(b);
    const bool hasTail = b.size() >= 6;
    const std::string mcuStored = b.size() >= 36 ? IntToHex(GetBE16(&b[34]), 4) : "";
    const std::string copyStored = hasTail ? IntToHex(GetBE16(&b[b.size() - 6]), 4) : "";
    const std::string fileStored = hasTail ? IntToHex(GetBE32(&b[b.size() - 4]), 8) : "";
    if (o.json) {
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
        return;
    }
    ctx.out << "MCU checksum:      stored " << (mcuStored.empty() ? "-" : mcuStored)
            << ", computed " << (mcu ? IntToHex(*mcu, 4) : "- (range outside the file)") << "\n"
            << "MCU checksum copy: stored " << (copyStored.empty() ? "-" : copyStored) << "\n"
            << "File check value:  stored " << (fileStored.empty() ? "-" : fileStored)
            << ", computed " << (fls ? IntToHex(*fls, 8) : "- (file shorter than 128 bytes)")
            << "\n";
}

// The chunks a feature lists; its own "Retrie&ve All" and "&Load All" handle them.
const Feature& ChunkFeature(const std::string& tag) {
    const auto piece = PieceFromTag(tag);
    const Feature* f = piece ? FeatureOfChunk(*piece) : nullptr;
    if (!f) throw UserError("No command handles the " + tag + " chunk");
    return *f;
}

void ChunkExport(CliContext& ctx, const ImageOptions& o, const std::string& tag,
                 const std::string& file) {
    const Feature& f = ChunkFeature(tag);
    CliSession s(ctx, o);
    s.Open();
    if (!RequireTypeAndImage(s.ed, s.ui)) throw CliExit{1};
    s.ui.saveFiles.push_back(file);
    f.retrieveAll(s.ed, s.ui);
    s.CheckTold();
}

void ChunkImport(CliContext& ctx, const ImageOptions& o, const std::string& tag,
                 const std::string& file) {
    const Feature& f = ChunkFeature(tag);
    CliSession s(ctx, o);
    s.RequireOutput();
    s.Open();
    if (!RequireTypeAndImage(s.ed, s.ui)) throw CliExit{1};
    s.ui.openFiles.push_back(file);
    f.loadAll(s.ed, s.ui);  // also reads the feature's list again
    s.CheckTold();
    s.Save();
}

void SpaceAdjust(CliContext& ctx, const ImageOptions& o, AdjustTarget target,
                 const std::string& n) {
    CliSession s(ctx, o);
    s.RequireOutput();
    s.Open();
    s.ui.texts.push_back(n);
    AdjustSpace(s.ed, s.ui, target);
    s.CheckTold();
    s.Save();
}

void Demo(CliContext& ctx, const std::string& out, const std::string& type, int mib, bool noMark,
          bool occupied, int designation) {
    SampleOptions so;
    so.family = PhoneTypeIndex(type);
    if (so.family == 0) {
        ctx.err << "brivant-cli: --type: unknown phone type '" << type << "'\n";
        throw CliExit{2};
    }
    so.size = mib * 1024 * 1024;
    so.mcuEndMark = !noMark;
    so.occupiedBelowPpm = occupied;
    if (designation != -1) {
        if (designation < 0 || designation >= static_cast<int>(Designations().size()) ||
            Designations()[static_cast<std::size_t>(designation)].index != so.family) {
            ctx.err << "brivant-cli: --designation does not belong to that phone type\n";
            throw CliExit{2};
        }
        so.designation = designation;
    }
    WriteFileAtomic(out, BuildSample(so).bytes);
    ctx.err << "brivant-cli: sample image of type " << type << " written to " << out << '\n';
}

}  // namespace

void RegisterCoreCommands(CLI::App& app, CliContext& ctx) {
    {
        auto o = std::make_shared<ImageOptions>();
        auto* cmd =
            app.add_subcommand("info", "Open an image and show its type, free space and chunks");
        AddImage(cmd, *o);
        AddType(cmd, *o);
        AddJson(cmd, *o);
        cmd->callback([&ctx, o] { ctx.action = [&ctx, o] { Info(ctx, *o); }; });
    }
    {
        auto o = std::make_shared<ImageOptions>();
        auto pattern = std::make_shared<std::string>();
        auto from = std::make_shared<std::int32_t>(1);
        auto all = std::make_shared<bool>(false);
        auto* cmd = app.add_subcommand("search",
                                       "Search the image for a hex pattern (or text after T / t)");
        AddImage(cmd, *o);
        cmd->add_option("PATTERN", *pattern, "Hex digits, or T/t followed by text")->required();
        cmd->add_option("--from", *from, "Offset to start at (default 1)");
        cmd->add_flag("--all", *all, "Every hit, each search from the previous hit + 1");
        AddType(cmd, *o);
        AddJson(cmd, *o);
        cmd->callback([&ctx, o, pattern, from, all] {
            ctx.action = [&ctx, o, pattern, from, all] { Search(ctx, *o, *pattern, *from, *all); };
        });
    }
    {
        auto o = std::make_shared<ImageOptions>();
        auto fix = std::make_shared<bool>(false);
        auto* cmd = app.add_subcommand("checksum",
                                       "Show (or repair) the MCU checksum and file check value");
        AddImage(cmd, *o);
        cmd->add_flag("--fix", *fix, "Rewrite the file with repaired checksums");
        AddJson(cmd, *o);
        cmd->callback([&ctx, o, fix] { ctx.action = [&ctx, o, fix] { Checksum(ctx, *o, *fix); }; });
    }
    {
        auto* chunk =
            app.add_subcommand("chunk", "Export or import a whole TONE, TEXT or PLMN chunk");
        chunk->require_subcommand(1);
        const auto tags = CLI::IsMember({"TONE", "TEXT", "PLMN"});
        {
            auto o = std::make_shared<ImageOptions>();
            auto tag = std::make_shared<std::string>();
            auto file = std::make_shared<std::string>();
            auto* cmd =
                chunk->add_subcommand("export", "Write the chunk to a PPMChunk file (*.bin)");
            AddImage(cmd, *o);
            cmd->add_option("TAG", *tag, "TONE, TEXT or PLMN")->required()->check(tags);
            cmd->add_option("OUT", *file, "PPMChunk file to write")->required();
            AddType(cmd, *o);
            cmd->callback([&ctx, o, tag, file] {
                ctx.action = [&ctx, o, tag, file] { ChunkExport(ctx, *o, *tag, *file); };
            });
        }
        {
            auto o = std::make_shared<ImageOptions>();
            auto tag = std::make_shared<std::string>();
            auto file = std::make_shared<std::string>();
            auto* cmd =
                chunk->add_subcommand("import", "Replace the chunk by a PPMChunk file (*.bin)");
            AddImage(cmd, *o);
            cmd->add_option("TAG", *tag, "TONE, TEXT or PLMN")->required()->check(tags);
            cmd->add_option("IN", *file, "PPMChunk file to read")
                ->required()
                ->check(CLI::ExistingFile);
            AddType(cmd, *o);
            AddOutput(cmd, *o);
            cmd->callback([&ctx, o, tag, file] {
                ctx.action = [&ctx, o, tag, file] { ChunkImport(ctx, *o, *tag, *file); };
            });
        }
    }
    {
        auto* space = app.add_subcommand("space", "Move free space between the MCU and PPM areas");
        space->require_subcommand(1);
        auto o = std::make_shared<ImageOptions>();
        auto mcu = std::make_shared<std::string>();
        auto ppm = std::make_shared<std::string>();
        auto* cmd = space->add_subcommand(
            "adjust", "Give N free bytes to the MCU (--mcu) or the PPM (--ppm)");
        AddImage(cmd, *o);
        auto* m = cmd->add_option("--mcu", *mcu, "Bytes the MCU area gains");
        auto* p = cmd->add_option("--ppm", *ppm, "Bytes the PPM area gains");
        m->excludes(p);
        AddType(cmd, *o);
        AddOutput(cmd, *o);
        cmd->callback([&ctx, o, mcu, ppm] {
            ctx.action = [&ctx, o, mcu, ppm] {
                if (mcu->empty() && ppm->empty()) {
                    ctx.err << "brivant-cli: space adjust: give --mcu N or --ppm N\n";
                    throw CliExit{2};
                }
                if (!mcu->empty())
                    SpaceAdjust(ctx, *o, AdjustTarget::MCU, *mcu);
                else
                    SpaceAdjust(ctx, *o, AdjustTarget::PPM, *ppm);
            };
        });
    }
    {
        auto out = std::make_shared<std::string>();
        auto type = std::make_shared<std::string>("3310");
        auto mib = std::make_shared<int>(2);
        auto noMark = std::make_shared<bool>(false);
        auto occupied = std::make_shared<bool>(false);
        auto designation = std::make_shared<int>(-1);
        auto* cmd = app.add_subcommand("demo", "Write a sample image made by the sample builder");
        cmd->add_option("OUT", *out, "Image file to write")->required();
        cmd->add_option("--type", *type, "Phone type of the sample (default 3310)");
        cmd->add_option("--size", *mib, "Size in MiB, 1 to 8 (default 2)")->check(CLI::Range(1, 8));
        cmd->add_flag("--no-mark", *noMark, "Leave out the mark that ends the MCU free space");
        cmd->add_flag("--occupied", *occupied, "Put data right below the PPM marker");
        cmd->add_option("--designation", *designation,
                        "Row (0-23) of the type designation table to write in the PPM header");
        cmd->callback([&ctx, out, type, mib, noMark, occupied, designation] {
            ctx.action = [&ctx, out, type, mib, noMark, occupied, designation] {
                Demo(ctx, *out, *type, *mib, *noMark, *occupied, *designation);
            };
        });
    }
}

}  // namespace brivant
