// The Menu tab on a sample image: a language lists the root, "Edit &SubMenu" is offered only
// for submenu items and walks down, the back button walks up; and the menu browser's view
// hands the user's choices to its model.

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "menu/TAddMenu.h"
#include "menu/TBrowseMenu.h"
#include "menu/TMenuEdit.h"
#include "ui/Brivant.h"
#include "ui/ListView.h"
#include "ui/TBrowseMenuView.h"

using namespace brivant;
using namespace brivant::uitest;

class MenuTabTest : public QObject {
    Q_OBJECT

  private slots:
    void languageSubMenusAndBack() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Menu));
        auto* list = Find<ListView>(w, "menuList");
        auto* language = Find<QComboBox>(w, "menuLanguage");
        auto* back = Find<QToolButton>(w, "menuBack");
        QCOMPARE(Items(language), (QStringList{"Select Here", "ENGL", "DEUT", "RUSS"}));
        QVERIFY(Rows(list).isEmpty());

        language->setCurrentIndex(1);
        const QStringList root = Rows(list);
        const MenuRow& first = w.editor().menu.tab.rows.at(0);
        QCOMPARE(root.at(0), QString::fromStdString("Phone book|" + first.textPointer + "|" +
                                                    first.funcPointer));
        QCOMPARE(Find<QLabel>(w, "menuCount")->text(),
                 QStringLiteral("Menu Count: %1").arg(root.size()));
        QVERIFY(!back->isEnabled());

        // Offered for the Extras submenu only.
        auto* sub = Entry(list, "menuEditSubMenu");
        SelectRow(list, 0);
        list->updateMenu();
        QVERIFY(!sub->isEnabled());
        SelectRow(list, 2);
        list->updateMenu();
        QVERIFY(sub->isEnabled());
        QSignalSpy ran(&w, &TMain::commandRan);
        sub->trigger();
        QCOMPARE(Names(ran), QStringList{"menuEditSubMenu"});
        QCOMPARE(Rows(list).size(), 3);
        QVERIFY(Rows(list).at(0).startsWith("Calculator|"));
        QVERIFY(back->isEnabled());
        QCOMPARE(Find<QLabel>(w, "menuCount")->text(), QStringLiteral("Menu Count: 3"));

        // Another language keeps the level; back returns to the root.
        language->setCurrentIndex(2);
        QVERIFY(Rows(list).at(2).startsWith("Ja|"));
        Click(w, "menuBack");
        QCOMPARE(Rows(list).size(), root.size());
        QVERIFY(Rows(list).at(1).startsWith("Ja|"));
        QVERIFY(!back->isEnabled());
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
    }

    // The editing keys act on the selected row; the moved item stays selected; Enter opens
    // the Menu Editor and "&Add" the Add Menu dialog, through their models.
    void editingKeysAndDialogs() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Menu));
        auto* list = Find<ListView>(w, "menuList");
        Find<QComboBox>(w, "menuLanguage")->setCurrentIndex(1);
        const QStringList root = Rows(list);

        SelectRow(list, 0);
        QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(Rows(list).at(1), root.at(0));
        QCOMPARE(Rows(list).at(0), root.at(1));
        QCOMPARE(SelectedRow(list), 1);

        QString edited;
        ui.dialogs.On<TMenuEdit>() = [&](TMenuEdit& d) {
            edited = QString::fromStdString(d.Name());
            return false;
        };
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(edited, root.at(0).section('|', 0, 0));

        ui.dialogs.On<TAddMenu>() = [](TAddMenu& d) {
            d.name = "Inbox 2";
            return !d.PressOk();
        };
        Entry(list, "menuAdd")->trigger();
        QVERIFY(Rows(list).last().startsWith("Inbox 2|"));
        const int rows = static_cast<int>(Rows(list).size());
        SelectRow(list, rows - 1);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(Rows(list).size(), rows - 1);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
    }

    void browserViewWalksAndPicks() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Menu));
        ed.menu.BrowseMode = true;
        GetRootOffset(ed, ed.menu);
        TBrowseMenu model(ed, ed.menu, ed.texts, ui, kBrowseToPatch, ed.texts.menuLanguages);

        WhenModal([&](QWidget* d) {
            QCOMPARE(d->windowTitle(), QString::fromLatin1(kBrowseToPatch));
            auto* items = Find<QTreeWidget>(*d, "menuItems");
            QCOMPARE(Headers(items), QStringList{"Menu Item"});
            Click(*d, "ok");  // nothing chosen yet
            Click(*d, "help");
            Find<QComboBox>(*d, "language")->setCurrentIndex(1);
            QCOMPARE(ed.menu.language, 1);
            SelectRow(items, 2);
            Find<QAction>(*d, "viewSubMenu")->trigger();
            QVERIFY(Find<QToolButton>(*d, "back")->isEnabled());
            QCOMPARE(Rows(items).at(1), QStringLiteral("Games"));
            SelectRow(items, 1);
            Click(*d, "ok");
        });
        QVERIFY(ShowBrowseMenu(&w, model));
        QCOMPARE(ui.Messages(), (std::vector<std::string>{kChooseMenuFirst, kHelpToPatch}));
        QVERIFY(IsSubMenuRecord(model.Result()));
        QCOMPARE(model.Result(), ed.menu.browser.rows.at(1).record);
    }
};

UI_TEST(MenuTabTest);
#include "MenuTabTest.moc"
