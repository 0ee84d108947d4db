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
#include "menu/TBrowseMenu.h"
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
#include "ui_menu_tab.moc"
