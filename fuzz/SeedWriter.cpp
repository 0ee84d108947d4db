// Writes the starting corpus of every fuzz target from the sample builder's images:
//   brivant_fuzz_seeds DIR   ->  DIR/<target>/<n>
// Chunk targets get the samples' chunks, import targets the files the editor exports from
// them, edit targets each family with no edit and with a few single edits.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

#include "FuzzHarness.h"
#include "app/Features.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "tones/RingtoneCommands.h"

using namespace brivant;
using namespace brivant::fuzz;

namespace {

class Seeds {
  public:
    Seeds(const std::filesystem::path& dir, const char* target) : dir_(dir / target) {
        std::filesystem::create_directories(dir_);
    }
    void Add(const Bytes& seed) {
        if (!seen_.insert(seed).second) return;
        std::ofstream out(dir_ / std::to_string(seen_.size()), std::ios::binary);
        out.write(reinterpret_cast<const char*>(seed.data()),
                  static_cast<std::streamsize>(seed.size()));
        if (!out) throw std::runtime_error("cannot write a seed into " + dir_.string());
    }

  private:
    std::filesystem::path dir_;
    std::set<Bytes> seen_;
};

Bytes Led(std::initializer_list<std::uint8_t> head, const Bytes& body) {
    Bytes b(head);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

// What an export command wrote, or nothing when it refused.
template <typename Export>
std::optional<Bytes> Exported(Export run) {
    const std::string path = ScratchPath("export.bin");
    std::filesystem::remove(path);
    FuzzUi ui;
    ui.saveFiles = {path};
    Expect([&] { run(ui); });
    if (!std::filesystem::exists(path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// A selector and one edit at spot `spot` of the stable bytes.
Bytes OneEdit(std::uint8_t selector, std::uint32_t spot,
              std::initializer_list<std::uint8_t> bytes) {
    Bytes b{selector, static_cast<std::uint8_t>(spot >> 16), static_cast<std::uint8_t>(spot >> 8),
            static_cast<std::uint8_t>(spot), static_cast<std::uint8_t>(bytes.size())};
    b.insert(b.end(), bytes);
    return b;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: brivant_fuzz_seeds DIR\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    Seeds open(dir, "open_image"), tones(dir, "ringtones"), languages(dir, "languages"),
        operators(dir, "operators"), importTone(dir, "import_tone"),
        importLanguage(dir, "import_language"), importOperator(dir, "import_operator"),
        importChunk(dir, "import_chunk");
    std::vector<Seeds> edits;
    for (const char* t : {"alert_tables", "menu", "bitmaps", "animations", "patches"})
        edits.emplace_back(dir, t);

    std::vector<Piece> loadable;
    for (const Feature& f : Features())
        if (f.chunk && f.loadAll) loadable.push_back(*f.chunk);

    for (int family = 1; family <= kFamilies; ++family) {
        const auto sel = static_cast<std::uint8_t>(family - 1);
        const Editor& ed = Opened(family);
        const auto spots = static_cast<std::uint32_t>(StableSpots(family).size());

        // The open target keeps selector 0 for raw bytes: family f is f there.
        const auto openSel = static_cast<std::uint8_t>(family);
        open.Add({openSel});
        for (const std::uint32_t s : {0u, spots / 3, spots / 2, spots - 1})
            open.Add(OneEdit(openSel, s, {0xFF, 0xFF, 0xFF, 0xFF}));
        for (Seeds& e : edits) {
            e.Add({sel});
            for (const std::uint32_t s : {spots / 5, spots / 4, 2 * spots / 3})
                e.Add(OneEdit(sel, s, {0x00, 0x10, 0x00, 0x00}));
        }

        tones.Add(Led({sel}, HexToBytes(ed.ppm[Piece::TONE])));
        languages.Add(Led({sel}, HexToBytes(ed.ppm[Piece::TEXT])));
        operators.Add(Led({sel}, HexToBytes(ed.ppm[Piece::PLMN])));
        for (std::size_t k = 0; k < loadable.size(); ++k)
            importChunk.Add(
                Led({sel, static_cast<std::uint8_t>(k)}, HexToBytes(ed.ppm[loadable[k]])));

        Editor e = ed;
        for (int row = 0; row < 3 && row < static_cast<int>(e.tones.ringtones.size()); ++row)
            if (auto f = Exported([&](FuzzUi& ui) { RetrieveRingtone(e, e.tones, ui, row); }))
                importTone.Add(Led({sel, static_cast<std::uint8_t>(row)}, *f));

        Editor l = Opened(family, Tab::Languages);
        for (int row = 0; row < 2 && row < static_cast<int>(l.texts.languages.size()); ++row)
            if (auto f = Exported([&](FuzzUi& ui) { RetrieveLanguage(l, l.texts, ui, row); }))
                importLanguage.Add(Led({sel}, *f));

        Editor o = Opened(family, Tab::Operators);
        for (int row = 0; row < 2 && row < static_cast<int>(o.texts.countries.size()); ++row)
            if (auto f = Exported([&](FuzzUi& ui) { RetrieveCountry(o, o.texts, ui, row); }))
                importOperator.Add(Led({sel}, *f));
    }
    // Sequences: each family, entering a submenu and undoing what is not there; the edits
    // are the fuzzer's to find.
    Seeds sequence(dir, "sequence");
    for (std::uint8_t family = 0; family < 8; ++family) {
        sequence.Add({family, 0, 6, 0, 0});
        sequence.Add({family, 1, 13, 0, 0, 14, 0, 0});
    }
    // Raw images: the head of a sample, where the header and DUMFILE lie.
    const Bytes& s = Sample(4).bytes;
    open.Add(Led({0}, Bytes(s.begin(), s.begin() + 0x1000)));
    // The fast paths: a sample's head, long enough for the register to be fed in quarters,
    // its MCU range cut to lie inside, searched for a text and for a run of FF.
    Seeds fast(dir, "fast_paths");
    Bytes head(s.begin(), s.begin() + 0x5000);
    const std::uint8_t range[] = {0x20, 0x00, 0x41, 0x20, 0x4F, 0xFE};
    std::copy(std::begin(range), std::end(range), head.begin() + 36);
    fast.Add(Led({6, 1, 'd', 'u', 'm', 'f', 'i', 'l', 'e'}, head));
    // Recipes: a few steps of each kind of argument on the 3310 sample.
    Seeds recipes(dir, "apply_recipe");
    for (const char* text :
         {R"({"brivant-recipe": 1, "steps": [{"command": "tones delete", "args": {"row": 1}}]})",
          R"({"brivant-recipe": 1, "phoneType": "3310", "steps": [{"command": "patch lcd",)"
          R"( "args": {"blinking": true}}, {"command": "ani set-length", "args": {"ani": "001",)"
          R"( "count": "4"}}]})",
          R"({"brivant-recipe": 1, "steps": [{"command": "tones add", "args": {"in":)"
          R"( {"base64": "AAAAAQAAADBSaW5nAAAAAAA=", "name": "t.re"}}}], "notExpressed": []})",
          R"({"brivant-recipe": 1, "steps": [{"command": "menu edit", "args": {"row": 0,)"
          R"( "func-id": "0042", "path": "0"}}, {"command": "security patch", "args":)"
          R"( {"manual": ["00", "11"]}}]})"}) {
        const std::string t = text;
        Bytes seed{3};
        seed.insert(seed.end(), t.begin(), t.end());
        recipes.Add(seed);
    }
    fast.Add(
        Led({11, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, head));
    // Picture files of every checked kind, whole, with the options in front.
    Seeds pictures(dir, "picture_import");
    const std::string bmpHead =
        "424D"
        "00000000"
        "00000000"
        "3E000000"
        "28000000"
        "08000000"
        "04000000"
        "0100"
        "0100"
        "00000000"
        "00000000"
        "00000000"
        "00000000"
        "00000000"
        "00000000"
        "00000000"
        "FFFFFF00";
    const std::string rleHead =
        "424D"
        "00000000"
        "00000000"
        "3E000000"
        "28000000"
        "08000000"
        "02000000"
        "0100"
        "0800"
        "01000000"
        "00000000"
        "00000000"
        "00000000"
        "00000000"
        "00000000"
        "00000000"
        "FFFFFF00";
    const std::string pbm = "P4\n8 4\n\x81\x42\x24\x18";
    const std::string plain = "P1 3 2 1 0 1 0 1 0";
    const std::string xbm =
        "#define a_width 8\n#define a_height 2\nstatic char a_bits[] = {0x81, 0x18};\n";
    const std::vector<Bytes> files = {
        HexToBytes(bmpHead + "81000000420000002400000018000000"),
        HexToBytes(rleHead + "0401"
                             "000401000100"
                             "0000"
                             "0801"
                             "0001"),
        HexToBytes("474946383961020002008000000000"
                   "00FFFFFF2C0000000002000200000203"
                   "8C0205003B"),
        Bytes(pbm.begin(), pbm.end()),
        Bytes(plain.begin(), plain.end()),
        Bytes(xbm.begin(), xbm.end()),
    };
    for (const Bytes& f : files)
        for (const std::uint8_t options : {0, 1, 2, 4}) pictures.Add(Led({3, 2, options, 100}, f));
    return 0;
}
