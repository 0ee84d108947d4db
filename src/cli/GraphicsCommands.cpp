#include "cli/CliModule.h"
#include "cli/Json.h"
#include "core/HexText.h"
#include "core/UserError.h"
#include "graphics/BitmapCommands.h"
#include "graphics/GraphicsState.h"
#include "image/Address.h"
#include "image/Session.h"

#include <optional>

#include "cli/PictureFormats.h"
#include "cli/Pictures.h"

namespace brivant {

namespace {

constexpr const char* kNoSuchBitmap = "There is no bitmap with ID %s";
constexpr const char* kNoBitmapFiles = "This build reads and writes no bitmap files";
constexpr const char* kNoPictures = "This build draws no pictures";
constexpr char kDark = '#';
constexpr char kLight = '.';

// The catalog is read when the Graphics tab is shown; edits are saved.
constexpr Flow kRead{.needsType = true, .tab = Tab::Graphics};
constexpr Flow kEdit{.saves = true, .needsType = true, .tab = Tab::Graphics};

struct GraphicsArgs : ImageOptions {
    std::string id;
    std::string file;
    int scale = 2;  // sheet pixels per bitmap pixel, 1 to 8
    std::optional<int> threshold;
    bool dither = false;
    bool fit = false;
    std::string format;  // --format; empty: by the name
};

constexpr const char* kReadFormats =
    "BMP, PNG, GIF, JPEG, PBM or XBM; a picture that is not black and white is made so with "
    "--threshold or --dither";

BitmapFiles& Files() {
    return *Pictures(kNoBitmapFiles).files;
}

// The ID as the list shows it ("00A"), or as any hex number.
int IdOf(CliSession& s, const std::string& text) {
    const auto& g = s.ed.graphics;
    bool hex = !text.empty() && text.size() <= 4;
    for (char c : text) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    const int id = hex ? HexTextToInt(text) : -1;
    if (id < 0 || id >= static_cast<int>(g.bitmaps.size()))
        throw UserError(Format(kNoSuchBitmap, {text}));
    return id;
}

// Chooses the ID in the "Bmp ID:" list, which shows it, as a user does before a command.
void Choose(CliSession& s, const GraphicsArgs& a) {
    SelectBitmap(s.ed, s.ed.graphics, IdOf(s, a.id));
}

const char* FormOf(CliSession& s, int id) {
    return IsRunLengthForm(s.ed, s.ed.graphics.mainCount, id) ? "rle" : "plain";
}

void List(CliSession& s, const GraphicsArgs& a) {
    const GraphicsState& g = s.ed.graphics;
    std::ostream& out = s.ctx.out;
    if (a.json) {
        Json j;
        j.BeginObject().Key("rows").BeginArray();
        for (std::size_t i = 0; i < g.bitmaps.size(); ++i) {
            const BitmapEntry& e = g.bitmaps[i];
            const int id = static_cast<int>(i);
            j.BeginObject()
                .Key("id")
                .String(BitmapIdText(id))
                .Key("width")
                .Number(e.Width())
                .Key("height")
                .Number(e.Height())
                .Key("address")
                .String(IntToHex(e.Address(), 8))
                .Key("recordOffset")
                .Number(e.recordOffset)
                .Key("form")
                .String(FormOf(s, id))
                .EndObject();
        }
        j.EndArray().Key("mainCount").Number(g.mainCount).EndObject();
        out << j.Text() << '\n';
        return;
    }
    out << "Bmp ID  Width  Height  Address   Record    Form\n";
    for (std::size_t i = 0; i < g.bitmaps.size(); ++i) {
        const BitmapEntry& e = g.bitmaps[i];
        const int id = static_cast<int>(i);
        std::string line = BitmapIdText(id) + "     ";
        const std::string w = std::to_string(e.Width());
        const std::string h = std::to_string(e.Height());
        line += w + std::string(7 - w.size(), ' ') + h + std::string(8 - h.size(), ' ');
        line += IntToHex(e.Address(), 8) + "  " +
                IntToHex(static_cast<std::uint32_t>(e.recordOffset), 8) + "  " + FormOf(s, id);
        out << line << '\n';
    }
    out << "Main table: " << g.mainCount << " bitmaps, " << g.bitmaps.size() - g.mainCount
        << " extra\n";
}

void Show(CliSession& s, const GraphicsArgs& a) {
    Choose(s, a);
    const GraphicsState& g = s.ed.graphics;
    std::ostream& out = s.ctx.out;
    if (a.json) {
        Json j;
        j.BeginObject()
            .Key("id")
            .String(BitmapIdText(g.current))
            .Key("width")
            .Number(g.shownWidth)
            .Key("height")
            .Number(g.shownHeight)
            .Key("pixels")
            .String(BytesToHex(g.pixels))
            .EndObject();
        out << j.Text() << '\n';
        return;
    }
    const BitmapCanvas c = g.Preview();
    for (int y = 0; y < c.height; ++y) {
        std::string line;
        for (int x = 0; x < c.width; ++x) line += c.Dark(x, y) ? kDark : kLight;
        out << line << '\n';
    }
}

// The window asks how a picture becomes black and white; here the options answer.
void Answer(CliSession& s, const GraphicsArgs& a) {
    PictureImport& how = s.ed.graphics.import;
    how.threshold = a.threshold;
    how.dither = a.dither;
    how.fit = a.fit;
    how.ask = false;
}

// The format a bitmap export writes, chosen before the image is opened.
PictureFormat FormatOf(CliContext& ctx, const char* command, const GraphicsArgs& a) {
    const std::string f = ChosenFormat(ctx, command, a.file, a.format, BitmapExportFormats());
    return f == "png" ? PictureFormat::Png : PictureFormat::Bmp;
}

// What a load changed beyond the pixels, for scripts; told once the image was saved.
void PrintResized(std::ostream& out, const std::vector<BitmapResize>& resized,
                  const GraphicsArgs& a) {
    if (!a.json) return;
    Json j;
    j.BeginObject().Key("resized").BeginArray();
    for (const BitmapResize& r : resized)
        j.BeginObject()
            .Key("id")
            .String(BitmapIdText(r.id))
            .Key("width")
            .Number(r.width)
            .Key("height")
            .Number(r.height)
            .Key("wasWidth")
            .Number(r.wasWidth)
            .Key("wasHeight")
            .Number(r.wasHeight)
            .Key("address")
            .String(IntToHex(r.address, 8))
            .Key("message")
            .String(r.message)
            .EndObject();
    out << j.EndArray().EndObject().Text() << '\n';
}

// An import: the picture(s) loaded by `load`, the image saved, then what changed told.
void Import(CliContext& ctx, const GraphicsArgs& a,
            void (*load)(CliSession&, const GraphicsArgs&)) {
    std::vector<BitmapResize> resized;
    RunOnImage(ctx, a, kEdit, [&](CliSession& s) {
        load(s, a);
        resized = s.ed.graphics.resized;
    });
    PrintResized(ctx.out, resized, a);
}

void ConversionOptions(CLI::App* cmd, GraphicsArgs& a) {
    cmd->add_option("--threshold", a.threshold,
                    "A pixel is set when its luminance is below this, 0 to 255 (default 128; a "
                    "two-colour picture keeps only its black)")
        ->check(CLI::Range(0, 255));
    cmd->add_flag("--dither", a.dither, "Floyd-Steinberg dithering instead of a hard threshold");
}

// Every bitmap of the catalog on one picture, in ID order, each labelled with its ID and size.
void Sheet(CliSession& s, const GraphicsArgs& a) {
    // A build without pictures says so before anything else.
    const PictureBackend& pictures = Pictures(kNoPictures);
    // The sheet is an export like any other: never written over the image itself.
    RefuseImageAsExport(s.ed, a.file);
    const GraphicsState& g = s.ed.graphics;
    if (g.bitmaps.empty()) throw UserError(kNoBitmapTable);
    std::vector<SheetBitmap> sheet;
    for (std::size_t i = 0; i < g.bitmaps.size(); ++i) {
        const BitmapEntry& e = g.bitmaps[i];
        const int id = static_cast<int>(i);
        sheet.push_back(
            {BitmapIdText(id) + " " + std::to_string(e.Width()) + "x" + std::to_string(e.Height()),
             RenderPixels(ReadBitmapPixels(s.ed, g, id), e.Width(), e.Height())});
    }
    pictures.writeSheet(OutputArg(s.ctx, a.file), sheet, a.scale);
}

Command<GraphicsArgs> Bmp(CliContext& ctx, CLI::App* parent, const char* name, const char* help,
                          bool id) {
    Command<GraphicsArgs> c(ctx, parent, name, help);
    c.Image();
    if (id) AddHexId(c.app(), "ID", c.args().id, "Bitmap ID as the list shows it (e.g. 00A)");
    return c;
}

}  // namespace

void GraphicsCommands(CLI::App& app, CliContext& ctx) {
    CLI::App* bmp = AddGroup(app, "bmp", "List, show, export and import the bitmaps");

    Bmp(ctx, bmp, "list", "The bitmap catalog", false)
        .TypeOption()
        .JsonFlag()
        .RunsOnImage(kRead, List);
    Bmp(ctx, bmp, "show", "Draw one bitmap, one character per pixel", true)
        .TypeOption()
        .JsonFlag()
        .RunsOnImage(kRead, Show);

    auto exp = Bmp(ctx, bmp, "export", "Write one bitmap to a 1-bit BMP (or PNG) file", true);
    exp->add_option("OUT", exp.args().file, "Picture file to write (- writes standard output)")
        ->required();
    AddFormatOption(exp.app(), exp.args().format, BitmapExportFormats());
    exp.TypeOption().Runs([](CliContext& c, const GraphicsArgs& a) {
        const PictureFormat format = FormatOf(c, "bmp export", a);
        RunOnImage(c, a, kRead, [&](CliSession& s) {
            Choose(s, a);
            s.ui.saveFiles.push_back(a.file);
            SaveBitmap(s.ed, s.ed.graphics, s.ui, Files(), format);
        });
    });

    auto imp = Bmp(ctx, bmp, "import",
                   "Replace one bitmap by a picture file (BMP, PNG, GIF, JPEG, PBM, XBM)", true);
    imp->add_option("IN", imp.args().file,
                    std::string("Picture file to read (- reads standard input): ") + kReadFormats)
        ->required();
    ConversionOptions(imp.app(), imp.args());
    imp->add_flag("--fit", imp.args().fit,
                  "Scale the picture to the bitmap's size first (smoothly), so the size stays");
    imp.TypeOption().JsonFlag().Output().Runs([](CliContext& c, const GraphicsArgs& a) {
        Import(c, a, [](CliSession& s, const GraphicsArgs& args) {
            Choose(s, args);
            Answer(s, args);
            s.ui.openFiles.push_back(args.file);
            LoadBitmap(s.ed, s.ed.graphics, s.ui, Files());
        });
    });

    auto expAll = Bmp(ctx, bmp, "export-all",
                      "Write every bitmap to NAME000.bmp, NAME001.bmp, ... (as Save All does; "
                      "1-bit BMP, or PNG)",
                      false);
    expAll->add_option("NAME", expAll.args().file, "NAME.bmp: the numbers go before .bmp (.png)")
        ->required()
        ->check(NotStdio());
    AddFormatOption(expAll.app(), expAll.args().format, BitmapExportFormats());
    expAll.TypeOption().Runs([](CliContext& c, const GraphicsArgs& a) {
        const PictureFormat format = FormatOf(c, "bmp export-all", a);
        RunOnImage(c, a, kRead, [&](CliSession& s) {
            s.ui.saveFiles.push_back(a.file);
            SaveAllBitmaps(s.ed, s.ed.graphics, s.ui, Files(), format);
        });
    });

    auto sheet =
        Bmp(ctx, bmp, "sheet",
            "Draw every bitmap on one picture (*.png), labelled with its ID and size", false);
    sheet
        ->add_option("OUT", sheet.args().file,
                     "Picture file to write (*.png; - writes standard output)")
        ->required();
    sheet->add_option("--scale", sheet.args().scale, "Pixels per bitmap pixel, 1 to 8 (default 2)")
        ->check(CLI::Range(1, 8));
    AddFormatOption(sheet.app(), sheet.args().format, SheetExportFormats());
    sheet.TypeOption().Runs([](CliContext& c, const GraphicsArgs& a) {
        ChosenFormat(c, "bmp sheet", a.file, a.format, SheetExportFormats());
        RunOnImage(c, a, kRead, [&](CliSession& s) { Sheet(s, a); });
    });

    auto impAll =
        Bmp(ctx, bmp, "import-all",
            "Read every bitmap from NAME000.bmp, NAME001.bmp, ... (as Load All does)", false);
    impAll
        ->add_option("FIRST", impAll.args().file,
                     std::string("The first file, NAME000.bmp; each file ") + kReadFormats)
        ->required()
        ->check(NotStdio());
    ConversionOptions(impAll.app(), impAll.args());
    impAll.TypeOption().JsonFlag().Output().Runs([](CliContext& c, const GraphicsArgs& a) {
        Import(c, a, [](CliSession& s, const GraphicsArgs& args) {
            Answer(s, args);
            s.ui.openFiles.push_back(args.file);
            LoadAllBitmaps(s.ed, s.ed.graphics, s.ui, Files());
        });
    });
}

}  // namespace brivant
