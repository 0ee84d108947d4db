// The notebook's lists: keys act only on a selected row, Ctrl alone moves menu items, a list
// without rows opens no context menu, and every entry and button reaches its command.

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

QTreeWidget* List(TMain& w, const char* name) {
    auto* t = w.findChild<QTreeWidget*>(QString::fromLatin1(name));
    if (!t) qFatal("no list %s", name);
    return t;
}

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

// Two rows in every list, as the feature readers will leave them.
void FillLists(TMain& w) {
    Editor& e = w.editor();
    ToneState& s = e.tones;
    TextState& t = e.texts;
    using R = RingtoneRow;
    using L = LanguageRow;
    using C = CountryRow;
    s.ringtones = {Three(&R::name, &R::id, &R::length, "Tone A", "00000001", "00000010"),
                   Three(&R::name, &R::id, &R::length, "Tone B", "00000002", "00000020")};
    t.languages = {Three(&L::language, &L::id, &L::length, "English", "00000003", "00000100"),
                   Three(&L::language, &L::id, &L::length, "Deutsch", "00000004", "00000200")};
    t.countries = {Three(&C::country, &C::code, &C::operators, "Finland", "244", "02"),
                   Three(&C::country, &C::code, &C::operators, "Sweden", "240", "03")};
    w.refresh();
}

QStringList Names(const QSignalSpy& spy) {
    QStringList s;
    for (const auto& args : spy) s << args.at(0).toString();
    return s;
}

QMenu* VisibleMenu() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* m = qobject_cast<QMenu*>(top); m && m->isVisible()) return m;
    return nullptr;
}

QAction* Entry(QTreeWidget* list, const char* name) {
    auto* a = list->findChild<QAction*>(QString::fromLatin1(name));
    if (!a) qFatal("no entry %s", name);
    return a;
}

void RightClick(QTreeWidget* list) {
    const QPoint at(10, 5);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &e);
}

}  // namespace

class ListKeysTest : public QObject {
    Q_OBJECT

  private slots:
    void keysDoNothingWithoutASelectedRow() {
        ScriptUi ui;
        TMain w(ui);
        w.show();
        QSignalSpy ran(&w, &TMain::commandRan);
        for (const char* name : {"tonesList", "languagesList", "operatorsList", "menuList"}) {
            QTreeWidget* t = List(w, name);
            t->setFocus();
            QTest::keyClick(t, Qt::Key_Delete);
            QTest::keyClick(t, Qt::Key_Return);
            QTest::keyClick(t, Qt::Key_Up, Qt::ControlModifier);
        }
        QCOMPARE(Names(ran), QStringList());

        // Rows, but none selected.
        FillLists(w);
        for (const char* name : {"tonesList", "languagesList", "operatorsList", "menuList"}) {
            QTreeWidget* t = List(w, name);
            t->clearSelection();
            QTest::keyClick(t, Qt::Key_Delete);
            QTest::keyClick(t, Qt::Key_Enter, Qt::KeypadModifier);
            QTest::keyClick(t, Qt::Key_Down, Qt::ControlModifier);
        }
        QCOMPARE(Names(ran), QStringList());
        QVERIFY(ui.told.empty());
    }

    void keysReachTheirCommandsOnASelectedRow() {
        ScriptUi ui;
        TMain w(ui);
        w.show();
        FillLists(w);
        QSignalSpy ran(&w, &TMain::commandRan);
        struct Case {
            const char* list;
            const char* enter;
            const char* del;
        };
        for (const Case& c : {Case{"tonesList", "toneChange", "toneDelete"},
                              Case{"languagesList", "languageEdit", "languageDelete"},
                              Case{"operatorsList", "operatorEdit", "operatorDelete"},
                              Case{"menuList", "menuEdit", "menuDelete"}}) {
            ran.clear();
            QTreeWidget* t = List(w, c.list);
            t->topLevelItem(1)->setSelected(true);
            QTest::keyClick(t, Qt::Key_Return);
            QTest::keyClick(t, Qt::Key_Enter, Qt::KeypadModifier);
            QTest::keyClick(t, Qt::Key_Delete);
            // A modified Delete or Enter is not the command.
            QTest::keyClick(t, Qt::Key_Delete, Qt::ShiftModifier);
            QTest::keyClick(t, Qt::Key_Return, Qt::ControlModifier);
            QCOMPARE(Names(ran), (QStringList{c.enter, c.enter, c.del}));
            // The window still shows the same rows with the same selection.
            QCOMPARE(t->topLevelItemCount(), 2);
            QVERIFY(t->topLevelItem(1)->isSelected());
        }
    }

    void menuItemsMoveWithCtrlAlone() {
        ScriptUi ui;
        TMain w(ui);
        w.show();
        FillLists(w);
        QSignalSpy ran(&w, &TMain::commandRan);
        QTreeWidget* menu = List(w, "menuList");
        menu->topLevelItem(1)->setSelected(true);
        menu->setFocus();
        QTest::keyClick(menu, Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(menu, Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(menu, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Names(ran), QStringList());
        QTest::keyClick(menu, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(menu, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(Names(ran), (QStringList{"menuMoveUp", "menuMoveDown"}));

        // Ctrl+Up means nothing special in the other lists.
        ran.clear();
        QTreeWidget* tones = List(w, "tonesList");
        tones->topLevelItem(1)->setSelected(true);
        QTest::keyClick(tones, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(Names(ran), QStringList());
    }

    void namesAreShownByteForByte() {
        ScriptUi ui;
        TMain w(ui);
        RingtoneRow r;
        r.name = "Caf\xC3\xA9\xE9";  // image bytes, not UTF-8 text
        r.id = "00000001";
        r.length = "00000010";
        w.editor().tones.ringtones = {r};
        w.editor().texts.menuLanguages = {
            "Fran\xE7"
            "ais"};
        w.refresh();
        QCOMPARE(List(w, "tonesList")->topLevelItem(0)->text(0),
                 QStringLiteral("Caf\u00C3\u00A9\u00E9"));
        QCOMPARE(w.findChild<QComboBox*>("menuLanguage")->itemText(0),
                 QStringLiteral("Fran\u00E7ais"));
    }

    void emptyListsOpenNoContextMenu() {
        ScriptUi ui;
        TMain w(ui);
        w.show();
        for (const char* name : {"tonesList", "languagesList", "operatorsList", "menuList"}) {
            QTreeWidget* t = List(w, name);
            QCOMPARE(t->contextMenuPolicy(), Qt::NoContextMenu);
            QSignalSpy asked(t, &QWidget::customContextMenuRequested);
            RightClick(t);
            QCOMPARE(asked.count(), 0);
            QVERIFY(!VisibleMenu());
        }
        FillLists(w);
        for (const char* name : {"tonesList", "languagesList", "operatorsList", "menuList"}) {
            QTreeWidget* t = List(w, name);
            QCOMPARE(t->contextMenuPolicy(), Qt::CustomContextMenu);
            RightClick(t);
            QMenu* m = VisibleMenu();
            QVERIFY(m);
            m->hide();
        }
        // Emptied again (a new image): no menu any more.
        w.editor().tones.ringtones.clear();
        w.refresh();
        RightClick(List(w, "tonesList"));
        QVERIFY(!VisibleMenu());
    }

    void entriesThatNeedARowWaitForOne() {
        ScriptUi ui;
        TMain w(ui);
        FillLists(w);
        QSignalSpy ran(&w, &TMain::commandRan);
        QTreeWidget* tones = List(w, "tonesList");
        tones->clearSelection();
        for (const char* e : {"toneChange", "toneRetrieve", "toneDelete"})
            Entry(tones, e)->trigger();
        QCOMPARE(Names(ran), QStringList());
        // Whole-chunk entries work on the list as a whole.
        for (const char* e : {"toneAdd", "toneRetrieveAll", "toneLoadAll"})
            Entry(tones, e)->trigger();
        QCOMPARE(Names(ran), (QStringList{"toneAdd", "toneRetrieveAll", "toneLoadAll"}));
    }

    void everyEntryAndButtonReachesItsCommand() {
        ScriptUi ui;
        TMain w(ui);
        FillLists(w);
        QSignalSpy ran(&w, &TMain::commandRan);
        const std::vector<std::pair<const char*, QStringList>> menus = {
            {"tonesList",
             {"toneChange", "toneAdd", "toneRetrieve", "toneDelete", "toneRetrieveAll",
              "toneLoadAll"}},
            {"menuList",
             {"menuEdit", "menuEditSubMenu", "menuAdd", "menuDelete", "menuMoveUp",
              "menuMoveDown"}},
            {"languagesList",
             {"languageEdit", "languageAdd", "languageRetrieve", "languageDelete",
              "languageRetrieveAll", "languageLoadAll"}},
            {"operatorsList",
             {"operatorEdit", "operatorAddNew", "operatorAddFromFile", "operatorRetrieve",
              "operatorDelete", "operatorRetrieveAll", "operatorLoadAll"}},
        };
        for (const auto& [list, entries] : menus) {
            ran.clear();
            QTreeWidget* t = List(w, list);
            t->topLevelItem(0)->setSelected(true);
            for (const QString& e : entries) Entry(t, qPrintable(e))->trigger();
            QCOMPARE(Names(ran), entries);
        }

        ran.clear();
        auto* commands = w.findChild<QToolButton*>("graphicsCommands");
        QVERIFY(commands && commands->menu());
        QStringList captions;
        for (QAction* a : commands->menu()->actions()) {
            captions << a->text();
            if (!a->isSeparator()) a->trigger();
        }
        QCOMPARE(captions, (QStringList{"&Edit", "&Load", "&Save", "", "&Load All", "&Save All"}));
        QCOMPARE(Names(ran), (QStringList{"bitmapEdit", "bitmapLoad", "bitmapSave", "bitmapLoadAll",
                                          "bitmapSaveAll"}));

        ran.clear();
        for (const char* b : {"alertDoIt", "patchButton", "miscDoIt"})
            QTest::mouseClick(w.findChild<QPushButton*>(b), Qt::LeftButton);
        QCOMPARE(Names(ran), (QStringList{"alertTone", "securityPatch", "misc"}));
    }

    void contextMenuCaptions() {
        ScriptUi ui;
        TMain w(ui);
        auto captions = [&](const char* list) {
            QStringList s;
            QMenu* m = List(w, list)->findChild<QMenu*>(QString(), Qt::FindDirectChildrenOnly);
            for (QAction* a : m->actions()) {
                s << a->text();
                if (a->menu())
                    for (QAction* sub : a->menu()->actions()) s << ">" + sub->text();
            }
            return s;
        };
        QCOMPARE(captions("tonesList"), (QStringList{"&Change", "&Add", "&Retrieve", "&Delete", "",
                                                     "Retrie&ve All", "&Load All"}));
        QCOMPARE(captions("menuList"), (QStringList{"&Edit", "Edit &SubMenu", "&Add", "&Delete", "",
                                                    "&Move", ">&Up", ">&Down"}));
        QCOMPARE(captions("languagesList"), (QStringList{"&Edit", "&Add", "&Retrieve", "&Delete",
                                                         "", "Retrie&ve All", "&Load all"}));
        QCOMPARE(captions("operatorsList"),
                 (QStringList{"&Edit", "&Add", ">&New...", ">&Load from file", "&Retrieve",
                              "&Delete", "", "Retrie&ve All", "&Load All"}));
        QCOMPARE(Entry(List(w, "menuList"), "menuMoveUp")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_Up));
        QCOMPARE(Entry(List(w, "menuList"), "menuMoveDown")->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_Down));
    }

    void the62xxLayoutHidesWhatItCannotDo() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        for (const auto& [family, allowed] :
             std::vector<std::pair<int, bool>>{{18, false}, {4, true}}) {
            const std::string path = dir.Path("f" + std::to_string(family) + ".fls");
            SampleOptions o;
            o.family = family;
            WriteSample(path, o);
            w.openPath(QString::fromStdString(path));
            FillLists(w);
            QTreeWidget* tones = List(w, "tonesList");
            QTreeWidget* langs = List(w, "languagesList");
            tones->setFocus();
            langs->setFocus();
            QCOMPARE(Entry(tones, "toneAdd")->isEnabled(), allowed);
            QCOMPARE(Entry(tones, "toneDelete")->isEnabled(), allowed);
            QVERIFY(Entry(tones, "toneChange")->isEnabled());
            QCOMPARE(Entry(langs, "languageEdit")->isEnabled(), allowed);
            QVERIFY(Entry(langs, "languageDelete")->isEnabled());
        }
    }

    void manualPatchEnablesTheBrowseButtons() {
        ScriptUi ui;
        TMain w(ui);
        auto* manual = w.findChild<QRadioButton*>("securityOption3");
        auto* browse0 = w.findChild<QToolButton*>("securityBrowse0");
        auto* browse1 = w.findChild<QToolButton*>("securityBrowse1");
        manual->click();
        QCOMPARE(w.editor().security.securityOption, 3);
        QVERIFY(browse0->isEnabled() && browse1->isEnabled());
        QSignalSpy ran(&w, &TMain::commandRan);
        QTest::mouseClick(browse1, Qt::LeftButton);
        QCOMPARE(Names(ran), QStringList{"securityBrowse"});
        w.findChild<QRadioButton*>("securityOption1")->click();
        QCOMPARE(w.editor().security.securityOption, 1);
        QVERIFY(!browse0->isEnabled() && !browse1->isEnabled());
    }
};

QTEST_MAIN(ListKeysTest)
#include "ui_list_keys.moc"
