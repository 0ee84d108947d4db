#include <gtest/gtest.h>

#include <random>

#include "core/UserError.h"
#include "texts/LanguageChunk.h"
#include "texts/Languages.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"
#include "texts/TextTestSupport.h"

using namespace brivant;
using namespace brivant::test;

// Files loaded into the TEXT and PLMN chunks are checked by reading the result back; rows
// act on the record they were listed from.

namespace {
Bytes Random(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(gen());
    return b;
}

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Everything a refused import must leave as it was.
struct Snapshot {
    std::string text, plmn;
    bool changed;
    std::size_t languages, countries;
    explicit Snapshot(SampleFixture& f)
        : text(f.ed.ppm[Piece::TEXT]),
          plmn(f.ed.ppm[Piece::PLMN]),
          changed(f.ed.PpmChanged),
          languages(f.ed.texts.languages.size()),
          countries(f.ed.texts.countries.size()) {}
    void Expect(SampleFixture& f) const {
        EXPECT_EQ(f.ed.ppm[Piece::TEXT], text);
        EXPECT_EQ(f.ed.ppm[Piece::PLMN], plmn);
        EXPECT_EQ(f.ed.PpmChanged, changed);
        EXPECT_EQ(f.ed.texts.languages.size(), languages);
        EXPECT_EQ(f.ed.texts.countries.size(), countries);
    }
};

Bytes Exported(SampleFixture& f, bool language, int row) {
    const std::string out = f.dir.Path(language ? "e.lng" : "e.opr");
    f.ui.saveAnswers = {out};
    if (language)
        RetrieveLanguage(f.ed, f.ed.texts, f.ui, row);
    else
        RetrieveCountry(f.ed, f.ed.texts, f.ui, row);
    return ReadFile(out);
}

void Load(SampleFixture& f, bool language, const std::string& path) {
    f.ui.openAnswers = {path};
    if (language)
        AddLanguage(f.ed, f.ed.texts, f.ui);
    else
        LoadCountry(f.ed, f.ed.texts, f.ui);
}

SampleFixture& ShowBoth(SampleFixture& f) {
    GetOperators(f.ed, f.ed.texts);
    ReadLanguages(f.ed, f.ed.texts);
    return f;
}
}  // namespace

TEST(ImportChecks, EveryKindOfBadFileIsRefusedThroughBothPathsWithNothingChanged) {
    SampleFixture probe(4, Tab::Languages);
    ShowBoth(probe);
    const Bytes lng = Exported(probe, true, 1);   // ENGL, 24 bytes
    const Bytes opr = Exported(probe, false, 0);  // PH, 48 bytes
    Bytes lngLong = lng;
    PutBE32(&lngLong[4], 5120);
    Bytes lngTable = lng;
    lngTable[16] = 9;  // the table no longer reaches Length
    Bytes lngPadding = lng;
    lngPadding.back() = 0x00;
    Bytes lngNoZeros = lng;
    lngNoZeros[0] = 0x41;  // the list finds each next chunk by its ID's 00 00
    Bytes oprCount = opr;
    oprCount[14] = 2;
    Bytes oprLong = opr;
    PutBE32(&oprLong[4], 0x7FFFFFF0);
    struct Case {
        const char* what;
        bool language;
        Bytes file;
    };
    const Case cases[] = {
        {"random bytes", true, Random(73, 1)},
        {"random bytes", false, Random(73, 2)},
        {"a text file", true, Text("Hello, this is a plain text file.\nSecond line\n")},
        {"a text file", false, Text("CNTR is how it starts, yet this is text\n")},
        {"an empty file", true, {}},
        {"an empty file", false, {}},
        {"truncated", true, Bytes(lng.begin(), lng.begin() + 20)},
        {"truncated", false, Bytes(opr.begin(), opr.begin() + 30)},
        {"the other kind", true, opr},
        {"the other kind", false, lng},
        {"length field too large", true, lngLong},
        {"length field too large", false, oprLong},
        {"trailing bytes", true, lng + Hex("FFFFFFFF00000000")},
        {"trailing bytes", false, opr + Hex("00000000")},
        {"length table off", true, lngTable},
        {"padding not FF", true, lngPadding},
        {"ID the list cannot find", true, lngNoZeros},
        {"count off", false, oprCount},
        {"a whole TEXT chunk", true, probe.Chunk(Piece::TEXT)},
        {"a whole PLMN chunk", false, probe.Chunk(Piece::PLMN)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + (c.language ? " as language" : " as country"));
        SampleFixture f(4, Tab::Languages);
        ShowBoth(f);
        const std::string path = f.File("bad.bin", c.file);
        const Snapshot before(f);
        Load(f, c.language, path);
        ASSERT_EQ(f.ui.told.size(), 1u);
        EXPECT_TRUE(Has(f.ui.Last(), path)) << f.ui.Last();
        before.Expect(f);
    }
}

TEST(ImportChecks, EveryExportedRecordOfEveryFamilyLoadsBackWhole) {
    for (int family = 1; family <= 18; ++family) {
        SCOPED_TRACE(family);
        SampleFixture f(family, Tab::Languages);
        ShowBoth(f);
        ASSERT_TRUE(WalkLanguages(f.Chunk(Piece::TEXT)).Whole())
            << WalkLanguages(f.Chunk(Piece::TEXT)).problem;
        ASSERT_TRUE(WalkCountries(f.Chunk(Piece::PLMN)).Whole())
            << WalkCountries(f.Chunk(Piece::PLMN)).problem;
        const std::size_t languages = f.ed.texts.languages.size();
        for (std::size_t row = 0; row < languages; ++row) {
            const Bytes file = Exported(f, true, static_cast<int>(row));
            Load(f, true, f.File("e.lng", file));
            ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
            EXPECT_EQ(Exported(f, true, static_cast<int>(f.ed.texts.languages.size() - 1)), file);
        }
        const std::size_t countries = f.ed.texts.countries.size();
        for (std::size_t row = 0; row < countries; ++row) {
            const Bytes file = Exported(f, false, static_cast<int>(row));
            Load(f, false, f.File("e.opr", file));
            ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
            EXPECT_EQ(Exported(f, false, static_cast<int>(f.ed.texts.countries.size() - 1)), file);
        }
        EXPECT_TRUE(WalkLanguages(f.Chunk(Piece::TEXT)).Whole());
        EXPECT_TRUE(WalkCountries(f.Chunk(Piece::PLMN)).Whole());
        EXPECT_TRUE(f.ChecksumOk(Piece::TEXT));
        EXPECT_TRUE(f.ChecksumOk(Piece::PLMN));
        // A fresh reading of the sealed pieces lists the same rows.
        const auto rows = f.ed.texts.languages;
        f.ed.texts.languages.clear();
        ReadLanguages(f.ed, f.ed.texts);
        ASSERT_EQ(f.ed.texts.languages.size(), 2 * languages);
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(f.ed.texts.languages[i].offset, rows[i].offset);
    }
}

TEST(ImportChecks, AFileWithoutItsPaddingGetsIt) {
    SampleFixture f(4, Tab::Languages);
    const Bytes padded = Exported(f, true, 1);  // Length 23, one FF
    Load(f, true, f.File("bare.lng", Bytes(padded.begin(), padded.end() - 1)));
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    EXPECT_EQ(Exported(f, true, 4), padded);
    EXPECT_TRUE(WalkLanguages(f.Chunk(Piece::TEXT)).Whole());
}

// Two identical records are two rows; each command acts on the selected one, and the list
// and the piece agree after every step.
TEST(RowsBoundToRecords, DuplicateLanguagesAreEditedAndDeletedOneByOne) {
    SampleFixture f(4, Tab::Languages);
    const Bytes engl = Exported(f, true, 1);
    Load(f, true, f.File("e.lng", engl));
    Load(f, true, f.File("e.lng", engl));
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    ASSERT_EQ(f.ed.texts.languages.size(), 6u);

    auto agree = [&f] {
        const LanguageWalk w = WalkLanguages(f.Chunk(Piece::TEXT));
        EXPECT_TRUE(w.Whole()) << w.problem;
        ASSERT_EQ(w.chunks.size(), f.ed.texts.languages.size());
        for (std::size_t i = 0; i < w.chunks.size(); ++i) {
            EXPECT_EQ(w.chunks[i].offset, f.ed.texts.languages[i].offset) << i;
            EXPECT_EQ(BytesToHex(w.chunks[i].head.data(), 4), f.ed.texts.languages[i].id) << i;
        }
    };
    // Edit the last copy: only it changes.
    f.ui.dialogs.On<TLangEdit>() = [](TLangEdit& m) {
        m.Select(1);
        m.KeyTyped();
        m.SetTextField("Nope");
        std::string error;
        return m.Ok(&error);
    };
    EditLanguage(f.ed, f.ed.texts, f.ui, 5);
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    agree();
    EXPECT_EQ(ReadRowTexts(f.ed, f.ed.texts, 1).texts, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(ReadRowTexts(f.ed, f.ed.texts, 4).texts, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(ReadRowTexts(f.ed, f.ed.texts, 5).texts, (std::vector<std::string>{"Yes", "Nope"}));

    // Delete the middle copy, then the first: what is left is the edited one.
    DeleteLanguage(f.ed, f.ed.texts, f.ui, 4);
    agree();
    EXPECT_EQ(ReadRowTexts(f.ed, f.ed.texts, 4).texts, (std::vector<std::string>{"Yes", "Nope"}));
    DeleteLanguage(f.ed, f.ed.texts, f.ui, 1);
    agree();
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    EXPECT_EQ(f.ed.texts.languages[3].language, "ENGL");
    EXPECT_EQ(ReadRowTexts(f.ed, f.ed.texts, 3).texts, (std::vector<std::string>{"Yes", "Nope"}));
    EXPECT_EQ(f.ed.texts.languageCount, "Languages Count: 4");
    EXPECT_TRUE(f.ChecksumOk(Piece::TEXT));
}

TEST(RowsBoundToRecords, DuplicateCountriesAreEditedAndDeletedOneByOne) {
    SampleFixture f(4, Tab::Operators);
    const Bytes ph = Exported(f, false, 0);
    Load(f, false, f.File("p.opr", ph));
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    ASSERT_EQ(f.ed.texts.countries.size(), 5u);
    auto agree = [&f] {
        const CountryWalk w = WalkCountries(f.Chunk(Piece::PLMN));
        EXPECT_TRUE(w.Whole()) << w.problem;
        ASSERT_EQ(w.records.size(), f.ed.texts.countries.size());
        for (std::size_t i = 0; i < w.records.size(); ++i)
            EXPECT_EQ(w.records[i].offset, f.ed.texts.countries[i].offset) << i;
    };
    // The copy at the end loses its operators; the first PH keeps its three.
    f.ui.dialogs.On<TOpEdit>() = [](TOpEdit& m) {
        while (m.Count() > 0) {
            m.Select(0);
            m.Delete();
        }
        std::string error;
        return m.Ok(&error);
    };
    EditOperators(f.ed, f.ed.texts, f.ui, 4);
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    agree();
    EXPECT_EQ(f.ed.texts.countries[0].operators, "03");
    EXPECT_EQ(f.ed.texts.countries[4].operators, "00");

    // Load it twice more: three identical records; delete the middle one, then the first.
    Load(f, false, f.File("p.opr", ph));
    Load(f, false, f.File("p.opr", ph));
    ASSERT_EQ(f.ed.texts.countries.size(), 7u);
    DeleteCountry(f.ed, f.ed.texts, f.ui, 5);
    agree();
    DeleteCountry(f.ed, f.ed.texts, f.ui, 0);
    agree();
    ASSERT_TRUE(f.ui.told.empty()) << f.ui.Last();
    std::vector<std::string> names, counts;
    for (const auto& r : f.ed.texts.countries)
        names.push_back(r.country), counts.push_back(r.operators);
    EXPECT_EQ(names, (std::vector<std::string>{"UK", "FIN", "DEUT", "PH", "PH"}));
    EXPECT_EQ(counts, (std::vector<std::string>{"00", "01", "03", "00", "03"}));
    EXPECT_EQ(Exported(f, false, 4), ph);
    EXPECT_EQ(f.ed.texts.countryCount, "Countries Count: 5");
    EXPECT_TRUE(f.ChecksumOk(Piece::PLMN));
}

TEST(RowsBoundToRecords, ARowWhoseRecordIsGoneIsRefused) {
    SampleFixture f(4, Tab::Languages);
    ShowBoth(f);
    // The piece changes behind the lists' back (as a Load All of another chunk would).
    Bytes t = f.Chunk(Piece::TEXT);
    t[f.ed.texts.languages[2].offset + 3] ^= 1;
    f.ed.ppm[Piece::TEXT] = BytesToHex(t);
    Bytes p = f.Chunk(Piece::PLMN);
    p[f.ed.texts.countries[1].offset + 12] ^= 1;
    f.ed.ppm[Piece::PLMN] = BytesToHex(p);
    const Snapshot before(f);
    EXPECT_EQ(ErrorOf([&] { DeleteLanguage(f.ed, f.ed.texts, f.ui, 2); }),
              Format(kLanguageMoved, {"DEUT"}));
    EXPECT_EQ(ErrorOf([&] { DeleteCountry(f.ed, f.ed.texts, f.ui, 1); }),
              Format(kCountryMoved, {"UK"}));
    before.Expect(f);
}

// Deleting COMM would leave a TEXT chunk whose list cannot be read again.
TEST(RowsBoundToRecords, DeletingCommIsRefusedAndTheListStillReads) {
    SampleFixture f(4, Tab::Languages);
    const Snapshot before(f);
    DeleteLanguage(f.ed, f.ed.texts, f.ui, 0);
    ASSERT_EQ(f.ui.told.size(), 1u);
    EXPECT_TRUE(Has(f.ui.Last(), "COMM")) << f.ui.Last();
    before.Expect(f);
    f.ed.texts.languages.clear();
    ReadLanguages(f.ed, f.ed.texts);
    EXPECT_EQ(f.ed.texts.languages.size(), 4u);
}

// The walks take offsets and lengths from the piece: none of them may reach outside it,
// whatever the bytes say.
TEST(Walks, DamagedPiecesEndTheWalkWithAReason) {
    SampleFixture f(4, Tab::Languages);
    const Bytes text = f.Chunk(Piece::TEXT);
    const Bytes plmn = f.Chunk(Piece::PLMN);
    for (const std::uint32_t length : {0u, 11u, 15u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(length);
        Bytes t = text;
        PutBE32(&t[f.ed.texts.languages[1].offset + 4], length);
        const LanguageWalk w = WalkLanguages(t);
        EXPECT_FALSE(w.Whole());
        EXPECT_GE(w.chunks.size(), 2u);
        Bytes p = plmn;
        PutBE32(&p[12 + 4], length);
        EXPECT_FALSE(WalkCountries(p).Whole());
    }
    for (unsigned seed = 0; seed < 300; ++seed) {
        // Cut or scribbled pieces: the walks end, and say so.
        Bytes t(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(seed % text.size()));
        Bytes p(plmn.begin(), plmn.begin() + static_cast<std::ptrdiff_t>(seed % plmn.size()));
        if (seed % 7 == 0) t = Random(seed, seed), p = Random(seed, seed + 1);
        EXPECT_FALSE(WalkLanguages(t).Whole());
        (void)WalkCountries(p);
    }
    EXPECT_FALSE(WalkLanguages(Bytes(20, 0)).comm);
    Bytes t = text;
    std::fill(t.begin() + 8, t.begin() + 60, 0);  // COMM gone
    f.ed.ppm[Piece::TEXT] = BytesToHex(t);
    f.ed.texts.languages.clear();
    EXPECT_EQ(ErrorOf([&] { ReadLanguages(f.ed, f.ed.texts); }),
              Format(kNoLanguageList,
                     {"the TEXT chunk holds no COMM chunk, where the list of languages begins"}));
}
