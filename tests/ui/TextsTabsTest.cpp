// The Languages and Operators tabs on real images: the keys and the "&Add" submenu reach
// their commands, and the two editors change the chunk only when they end with "&OK".

#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "core/HexText.h"
#include "ppm/PpmCopy.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

class TextsTabsTest : public QObject {
    Q_OBJECT

  private slots:
    void languageEditorChangesTheChunkOnlyOnOk() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        QTreeWidget* langs = ShowTab(w, Tab::Languages, "languagesList");
        const QStringList before = Rows(langs);
        QCOMPARE(before.size(), 4);
        QCOMPARE(before[1], QStringLiteral("ENGL|0000C002|00000017"));
        const std::string textBefore = ed.ppm[Piece::TEXT];

        // Edited, then cancelled.
        ui.dialogs.On<TLangEdit>() = [](TLangEdit& m) {
            m.Select(1);
            m.KeyTyped();
            m.SetTextField("Nope");
            m.Cancel();
            return false;
        };
        SelectRow(langs, 1);
        QTest::keyClick(langs, Qt::Key_Return);
        QCOMPARE(ui.dialogs.Shown<TLangEdit>(), 1);
        QVERIFY(ui.told.empty());
        QCOMPARE(ed.ppm[Piece::TEXT], textBefore);
        QVERIFY(!ed.PpmChanged);
        QCOMPARE(Rows(langs), before);

        std::vector<std::string> seen;
        ui.dialogs.On<TLangEdit>() = [&seen](TLangEdit& m) {
            seen = m.Texts();
            m.Select(1);
            m.KeyTyped();
            m.SetTextField("Nope");
            std::string error;
            return m.Ok(&error);
        };
        SelectRow(langs, 1);
        QTest::keyClick(langs, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(seen, (std::vector<std::string>{"Yes", "No"}));
        // 16 + table 03 04 + "YesNope": the row shows the new length.
        QStringList expected = before;
        expected[1] = QStringLiteral("ENGL|0000C002|00000019");
        QCOMPARE(Rows(langs), expected);
        const std::string text = ed.ppm[Piece::TEXT];
        QVERIFY(Has(text, "0304" + BytesToHex(Bytes{'Y', 'e', 's', 'N', 'o', 'p', 'e'})));
        QVERIFY(Sealed(text));
        QVERIFY(ed.PpmChanged);
        QCOMPARE(Find<QLabel>(w, "languageCount")->text(), QStringLiteral("Languages Count: 4"));
    }

    void languageDeleteKeyRemovesTheChunk() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        QTreeWidget* langs = ShowTab(w, Tab::Languages, "languagesList");
        const QStringList before = Rows(langs);
        const std::int64_t size = static_cast<std::int64_t>(ed.ppm[Piece::TEXT].size()) / 2;
        SelectRow(langs, 2);
        QTest::keyClick(langs, Qt::Key_Delete);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(ui.dialogs.Shown<TLangEdit>(), 0);
        QStringList expected = before;
        expected.removeAt(2);
        QCOMPARE(Rows(langs), expected);
        QCOMPARE(Find<QLabel>(w, "languageCount")->text(), QStringLiteral("Languages Count: 3"));
        const std::string text = ed.ppm[Piece::TEXT];
        QVERIFY(Sealed(text));
        // DEUT is 16 + 5 + 264 = 285 bytes, 288 with its padding.
        QCOMPARE(static_cast<std::int64_t>(text.size()) / 2, size - 288);
        QVERIFY(ed.PpmChanged);
    }

    void the62xxLayoutHidesEditButTheKeysStillWork() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("b.fls"), 18);
        QTreeWidget* langs = ShowTab(w, Tab::Languages, "languagesList");
        QCOMPARE(Rows(langs).size(), 4);
        QMenu* m = ContextMenu(langs);
        QVERIFY(m);
        QVERIFY(!MenuEntry(m, "&Edit")->isEnabled());
        QVERIFY(MenuEntry(m, "&Delete")->isEnabled());
        m->hide();

        std::size_t texts = 0;
        ui.dialogs.On<TLangEdit>() = [&texts](TLangEdit& d) {
            texts = d.Texts().size();
            return false;
        };
        SelectRow(langs, 0);
        QTest::keyClick(langs, Qt::Key_Return);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(ui.dialogs.Shown<TLangEdit>(), 1);
        QCOMPARE(texts, std::size_t{5});  // the COMM texts
        QVERIFY(!w.editor().PpmChanged);
        SelectRow(langs, 3);
        QTest::keyClick(langs, Qt::Key_Delete);
        QCOMPARE(Rows(langs).size(), 3);
    }

    void operatorsEditorChangesTheCountryOnlyOnOk() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        QTreeWidget* ops = ShowTab(w, Tab::Operators, "operatorsList");
        const QStringList before = Rows(ops);
        QCOMPARE(before.size(), 4);
        QCOMPARE(before[0], QStringLiteral("PH|515|03"));
        const std::string plmnBefore = ed.ppm[Piece::PLMN];

        ui.dialogs.On<TOpEdit>() = [](TOpEdit& m) {
            m.Select(0);
            m.SetName("Gone");
            m.Add();
            m.Cancel();
            return false;
        };
        SelectRow(ops, 0);
        QTest::keyClick(ops, Qt::Key_Return);
        QCOMPARE(ui.dialogs.Shown<TOpEdit>(), 1);
        QVERIFY(ui.told.empty());
        QCOMPARE(ed.ppm[Piece::PLMN], plmnBefore);
        QVERIFY(!ed.PpmChanged);
        QCOMPARE(Rows(ops), before);

        std::vector<std::string> names;
        std::string country;
        ui.dialogs.On<TOpEdit>() = [&](TOpEdit& m) {
            country = m.CountryCode();
            for (const auto& o : m.Operators()) names.push_back(o.name + "/" + o.code);
            m.Select(2);
            m.SetName("Sunny");
            m.Add();
            std::string error;
            return m.Ok(&error);
        };
        SelectRow(ops, 0);
        QTest::keyClick(ops, Qt::Key_Return);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(country, std::string("515"));
        QCOMPARE(names, (std::vector<std::string>{"Globe/02", "Smart/03", "Sun/05"}));
        QStringList expected = before;
        expected[0] = QStringLiteral("PH|515|04");
        QCOMPARE(Rows(ops), expected);
        const std::string plmn = ed.ppm[Piece::PLMN];
        // Sunny: 12 bytes with its padding; NewOperator, code 00: 16 bytes.
        QVERIFY(Has(plmn, "0C50F00553756E6E79000000"));
        QVERIFY(Has(plmn, "1000F00B4E65774F70657261746F7200"));
        QVERIFY(Sealed(plmn));
        QVERIFY(ed.PpmChanged);

        // Delete on another country.
        SelectRow(ops, 1);
        QTest::keyClick(ops, Qt::Key_Delete);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        expected.removeAt(1);
        QCOMPARE(Rows(ops), expected);
        QCOMPARE(Find<QLabel>(w, "countryCount")->text(), QStringLiteral("Countries Count: 3"));
        QVERIFY(Sealed(ed.ppm[Piece::PLMN]));
        QCOMPARE(ui.dialogs.Shown<TOpEdit>(), 2);
    }

    void addSubmenuTypesInOrLoadsACountry() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        QTreeWidget* ops = ShowTab(w, Tab::Operators, "operatorsList");
        QStringList expected = Rows(ops);

        QMenu* m = ContextMenu(ops);
        QVERIFY(m);
        QMenu* add = MenuEntry(m, "&Add")->menu();
        QVERIFY(add);
        m->hide();
        QStringList captions;
        for (QAction* a : add->actions()) captions << a->text();
        QCOMPARE(captions, (QStringList{"&New...", "&Load from file"}));

        // An empty name is asked again, and so is one longer than four characters.
        ui.textAnswers = {std::string(), std::string("ABCDE"), std::string("ABCD"),
                          std::string("999")};
        MenuEntry(add, "&New...")->trigger();
        QCOMPARE(ui.told.size(), std::size_t{1});
        QVERIFY(Has(ui.Last(), "at most 4 fit"));
        const std::pair<std::string, std::string> name{kCountryNameTitle, kCountryNamePrompt};
        const std::pair<std::string, std::string> code{kCountryCodeTitle, kCountryCodePrompt};
        QCOMPARE(ui.textAsked,
                 (std::vector<std::pair<std::string, std::string>>{name, name, name, code}));
        ui.told.clear();
        expected << QStringLiteral("ABCD|999|00");
        QCOMPARE(Rows(ops), expected);
        QCOMPARE(Find<QLabel>(w, "countryCount")->text(), QStringLiteral("Countries Count: 5"));
        // Tag, length 16, the name, 999 packed as 99 F9, no operators, before the trailer.
        QVERIFY(Has(ed.ppm[Piece::PLMN],
                    std::string("434E5452000000104142434499F90000") + kTrailerHex));
        QVERIFY(Sealed(ed.ppm[Piece::PLMN]));
        QVERIFY(ed.PpmChanged);

        // A name given up on adds nothing.
        ui.textAnswers = {std::optional<std::string>()};
        MenuEntry(add, "&New...")->trigger();
        QCOMPARE(Rows(ops), expected);

        // New Zealand, 530, one operator "Vf" with network code 01.
        const Bytes nz = HexToBytes(
            "434E5452000000184E5A000035F00100"
            "0810F00256660000");
        const std::string path = dir.Path("nz.opr");
        WriteFile(path, nz);
        ui.openAnswers.push_back(path);
        MenuEntry(add, "&Load from file")->trigger();
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(ui.openAsked.back().title, std::string(kLoadCountryTitle));
        QCOMPARE(ui.openAsked.back().filter, std::string(kLoadCountryFilter));
        expected << QStringLiteral("NZ|530|01");
        QCOMPARE(Rows(ops), expected);
        QVERIFY(Has(ed.ppm[Piece::PLMN], BytesToHex(nz) + kTrailerHex));
        QVERIFY(Sealed(ed.ppm[Piece::PLMN]));
    }
};

UI_TEST(TextsTabsTest);
#include "TextsTabsTest.moc"
