// Each tab page wires its list to its feature: the context entries and captions, the keys,
// and the rows drawn from the editor. How the list behaves is the list's own test.

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "UiHarness.h"
#include "ui/Brivant.h"
#include "ui/ListView.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

// Rows are filled field by field: the readers may keep more in a row than the list shows.
template <typename RowT>
RowT Three(std::string RowT::*a, std::string RowT::*b, std::string RowT::*c, const char* x,
           const char* y, const char* z) {
    RowT r{};
    r.*a = x;
    r.*b = y;
    r.*c = z;
    return r;
}

// Two rows in every list, as the feature readers leave them.
void FillLists(TMain& w) {
    Editor& e = w.editor();
    using R = RingtoneRow;
    using L = LanguageRow;
    using C = CountryRow;
    e.tones.ringtones = {Three(&R::name, &R::id, &R::length, "Tone A", "00000001", "00000010"),
                         Three(&R::name, &R::id, &R::length, "Tone B", "00000002", "00000020")};
    e.texts.languages = {
        Three(&L::language, &L::id, &L::length, "English", "00000003", "00000100"),
        Three(&L::language, &L::id, &L::length, "Deutsch", "00000004", "00000200")};
    e.texts.countries = {Three(&C::country, &C::code, &C::operators, "Finland", "244", "02"),
                         Three(&C::country, &C::code, &C::operators, "Sweden", "240", "03")};
    w.refresh();
}

// Two menu rows of submenu items, so that every entry of the list is offered.
void PlantMenuRows(TMain& w) {
    const std::string tail = "000003870000000000000000";
    w.editor().menu.tab.rows = {{"Messages", "00210000", "00220000", "0021000000220000" + tail, 0},
                                {"Settings", "00210010", "00220010", "0021001000220010" + tail, 1}};
    w.refresh();
}

struct TabCase {
    const char* list;
    QStringList captions;
    QStringList entries;  // command names in menu order
    QStringList keys;     // the commands of Enter, Delete, Ctrl+Up, Ctrl+Down ("" for none)
};

}  // namespace

class TabWiringTest : public QObject {
    Q_OBJECT

  private slots:
    void everyListTabWiresItsEntriesAndKeys() {
        const TabCase cases[] = {
            {"tonesList",
             {"&Change", "&Add", "&Retrieve", "&Delete", "", "Retrie&ve All", "&Load All", "",
              "&Undo", "&Redo"},
             {"toneChange", "toneAdd", "toneRetrieve", "toneDelete", "toneRetrieveAll",
              "toneLoadAll"},
             {"toneChange", "toneDelete", "", ""}},
            {"menuList",
             {"&Edit", "Edit &SubMenu", "&Add", "&Delete", "", "&Move", ">&Up", ">&Down", "",
              "&Undo", "&Redo"},
             {"menuEdit", "menuEditSubMenu", "menuAdd", "menuDelete", "menuMoveUp", "menuMoveDown"},
             {"menuEdit", "menuDelete", "menuMoveUp", "menuMoveDown"}},
            {"languagesList",
             {"&Edit", "&Add", "&Retrieve", "&Delete", "", "Retrie&ve All", "&Load All", "",
              "&Undo", "&Redo"},
             {"languageEdit", "languageAdd", "languageRetrieve", "languageDelete",
              "languageRetrieveAll", "languageLoadAll"},
             {"languageEdit", "languageDelete", "", ""}},
            {"operatorsList",
             {"&Edit", "&Add", ">&New...", ">&Load from file", "&Retrieve", "&Delete", "",
              "Retrie&ve All", "&Load All", "", "&Undo", "&Redo"},
             {"operatorEdit", "operatorAddNew", "operatorAddFromFile", "operatorRetrieve",
              "operatorDelete", "operatorRetrieveAll", "operatorLoadAll"},
             {"operatorEdit", "operatorDelete", "", ""}},
        };
        ScriptUi ui;
        TMain w(ui);
        w.show();
        QSignalSpy ran(&w, &TMain::commandRan);
        for (const TabCase& c : cases) {
            auto* list = Find<ListView>(w, c.list);
            // Each command redraws the window; the planted rows come back before each step.
            auto plant = [&] {
                FillLists(w);
                PlantMenuRows(w);
                list->setFocus();
                list->selectRow(0);
            };
            plant();
            QCOMPARE(Captions(list->contextMenu()), c.captions);
            ran.clear();
            for (const QString& e : c.entries) {
                plant();
                Entry(list, qPrintable(e))->trigger();
            }
            QCOMPARE(Names(ran), c.entries);

            ran.clear();
            const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {
                {Qt::Key_Return, Qt::NoModifier},
                {Qt::Key_Delete, Qt::NoModifier},
                {Qt::Key_Up, Qt::ControlModifier},
                {Qt::Key_Down, Qt::ControlModifier}};
            QStringList expected;
            for (int k = 0; k < 4; ++k) {
                plant();
                QTest::keyClick(list, keys[k].first, keys[k].second);
                if (!c.keys[k].isEmpty()) expected << c.keys[k];
            }
            QCOMPARE(Names(ran), expected);
        }
        auto* menu = Find<ListView>(w, "menuList");
        QCOMPARE(Entry(menu, "menuMoveUp")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
        QCOMPARE(Entry(menu, "menuMoveDown")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Down));
    }

    void listsShowTheEditorsRowsByteForByte() {
        ScriptUi ui;
        TMain w(ui);
        FillLists(w);
        QCOMPARE(Rows(Find<ListView>(w, "tonesList")),
                 (QStringList{"Tone A|00000001|00000010", "Tone B|00000002|00000020"}));
        QCOMPARE(Rows(Find<ListView>(w, "languagesList")),
                 (QStringList{"English|00000003|00000100", "Deutsch|00000004|00000200"}));
        QCOMPARE(Rows(Find<ListView>(w, "operatorsList")),
                 (QStringList{"Finland|244|02", "Sweden|240|03"}));

        RingtoneRow r;
        r.name = "Caf\xC3\xA9\xE9";  // image bytes, not UTF-8 text
        r.id = "00000001";
        r.length = "00000010";
        w.editor().tones.ringtones = {r};
        w.editor().texts.menuLanguages = {
            "Fran\xE7"
            "ais"};
        w.refresh();
        QCOMPARE(Find<ListView>(w, "tonesList")->topLevelItem(0)->text(0),
                 QStringLiteral("Caf\u00C3\u00A9\u00E9"));
        QCOMPARE(Find<QComboBox>(w, "menuLanguage")->itemText(0), QStringLiteral("Fran\u00E7ais"));
    }

    void the62xxLayoutHidesWhatItCannotDo() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        for (const auto& [family, allowed] :
             std::vector<std::pair<int, bool>>{{18, false}, {4, true}}) {
            OpenSample(w, dir.Path("f" + std::to_string(family) + ".fls"), family);
            FillLists(w);
            auto* tones = Find<ListView>(w, "tonesList");
            auto* langs = Find<ListView>(w, "languagesList");
            QCOMPARE(Entry(tones, "toneAdd")->isEnabled(), allowed);
            QCOMPARE(Entry(tones, "toneDelete")->isEnabled(), allowed);
            QVERIFY(Entry(tones, "toneChange")->isEnabled());
            QCOMPARE(Entry(langs, "languageEdit")->isEnabled(), allowed);
            QVERIFY(Entry(langs, "languageDelete")->isEnabled());
        }
    }

    void graphicsCommandsReachTheirCommands() {
        ScriptUi ui;
        TMain w(ui);
        QSignalSpy ran(&w, &TMain::commandRan);
        auto* commands = Find<QToolButton>(w, "graphicsCommands");
        QVERIFY(commands->menu());
        QStringList captions;
        for (QAction* a : commands->menu()->actions()) {
            captions << a->text();
            if (!a->isSeparator()) a->trigger();
        }
        // Each entry has a key of its own.
        QCOMPARE(captions, (QStringList{"&Edit", "&Load", "&Save", "", "Load &All", "Sa&ve All"}));
        QCOMPARE(Names(ran), (QStringList{"bitmapEdit", "bitmapLoad", "bitmapSave", "bitmapLoadAll",
                                          "bitmapSaveAll"}));
    }

    void groupButtonsReachTheirCommands() {
        ScriptUi ui;
        TMain w(ui);
        QSignalSpy ran(&w, &TMain::commandRan);
        // Without an image they are not offered.
        for (const char* b : {"alertDoIt", "patchButton", "miscDoIt"})
            QVERIFY2(!Find<QPushButton>(w, b)->isEnabled(), b);
        TempDir dir;
        OpenSample(w, dir.Path("a.fls"), 4);
        ran.clear();
        ui.saveAnswers.push_back(std::nullopt);
        for (const char* b : {"alertDoIt", "patchButton", "miscDoIt"}) Click(w, b);
        QCOMPARE(Names(ran), (QStringList{"alertTone", "securityPatch", "misc"}));

        // The manual patch alone offers the browse buttons.
        ran.clear();
        auto* browse0 = Find<QToolButton>(w, "securityBrowse0");
        auto* browse1 = Find<QToolButton>(w, "securityBrowse1");
        Find<QRadioButton>(w, "securityOption3")->click();
        QCOMPARE(w.editor().security.securityOption, 3);
        QVERIFY(browse0->isEnabled() && browse1->isEnabled());
        Click(w, "securityBrowse1");
        QCOMPARE(Names(ran), QStringList{"securityBrowse"});
        Find<QRadioButton>(w, "securityOption1")->click();
        QCOMPARE(w.editor().security.securityOption, 1);
        QVERIFY(!browse0->isEnabled() && !browse1->isEnabled());
    }
};

UI_TEST(TabWiringTest);
#include "TabWiringTest.moc"
