// What the window keeps beside the image: another phone type is not chosen over unsaved
// edits without asking, every tab follows a command that changed what it shows, the
// selection survives edits, and names from the image are shown one line each.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "app/UndoFlow.h"
#include "menu/MenuLevels.h"
#include "menu/SecurityPatch.h"
#include "menu/TMenuEdit.h"
#include "ppm/PpmCopy.h"
#include "tones/ToneCatalog.h"
#include "ui/Brivant.h"
#include "ui/ListView.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

std::string OpenUndetected(TMain& w, TempDir& dir, int family) {
    const std::string path = dir.Path("u.fls");
    SampleOptions o;
    o.family = family;
    o.designation = kNoDesignation;
    WriteSample(path, o);
    w.openPath(QString::fromStdString(path));
    return path;
}

}  // namespace

class MainWindowStateTest : public QObject {
    Q_OBJECT

  private slots:
    void anotherTypeAsksBeforeUnsavedEditsGo() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenUndetected(w, dir, 4);
        auto* type = Find<QComboBox>(w, "phoneType");
        type->setCurrentIndex(4);
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const QStringList rows = Rows(tones);
        SelectRow(tones, 0);
        QTest::keyClick(tones, Qt::Key_Delete);
        QCOMPARE(Rows(tones).size(), rows.size() - 1);
        QVERIFY(w.windowTitle().startsWith('*'));

        // Cancel: the type and the edit stay.
        ui.saveChangesAnswers.push_back(SaveChoice::Cancel);
        type->setCurrentIndex(10);
        QCOMPARE(ui.saveChangesAsked, std::vector<std::string>{kSaveBeforeType});
        QCOMPARE(type->currentIndex(), 4);
        QCOMPARE(w.editor().PhoneType(), 4);
        QCOMPARE(Rows(tones).size(), rows.size() - 1);
        QVERIFY(w.windowTitle().startsWith('*'));

        // Discard: the image goes back to its file, then the type is chosen.
        ui.saveChangesAnswers.push_back(SaveChoice::Discard);
        type->setCurrentIndex(10);
        QCOMPARE(w.editor().PhoneType(), 10);
        QCOMPARE(type->currentIndex(), 10);
        QCOMPARE(Rows(tones), rows);
        QVERIFY(!w.windowTitle().startsWith('*'));
        // No step leads back across the type: the selector never shows another one than
        // the lists were read with.
        QVERIFY(!w.editor().history.CanUndo());
        QVERIFY(!Find<QAction>(w, "undoAction")->isEnabled());
        QCOMPARE(ui.saveChangesAsked.size(), std::size_t{2});
    }

    void theMenuTabFollowsTheSecurityPatch() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 15);
        auto* list = ShowTab(w, Tab::Menu, "menuList");
        Find<QComboBox>(w, "menuLanguage")->setCurrentIndex(1);
        const QStringList before = Rows(list);
        Find<QRadioButton>(w, "securityOption0")->click();
        Click(w, "patchButton");
        QCOMPARE(ui.Last(), std::string(kSecurityPatched));
        // What a fresh read of the level lists now.
        Editor& ed = w.editor();
        const MenuListing fresh =
            ReadMenuLevel(ed, ed.menu.tab.stack.Current(), MenuLanguageTexts(ed, ed.texts, 1),
                          ed.texts.CommTextCount);
        QStringList expected;
        for (const MenuRow& r : fresh.rows)
            expected << QString::fromStdString(r.name + "|" + r.textPointer + "|" + r.funcPointer);
        QCOMPARE(Rows(list), expected);
        QVERIFY(Rows(list) != before);
        // The level still is where it was read: moving an item works.
        ui.told.clear();
        SelectRow(list, 0);
        QTest::keyClick(list, Qt::Key_Down, Qt::ControlModifier);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
    }

    void aSubmenuLevelStaysAfterAnEdit() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        auto* list = ShowTab(w, Tab::Menu, "menuList");
        Find<QComboBox>(w, "menuLanguage")->setCurrentIndex(1);
        SelectRow(list, 2);
        static_cast<ListView*>(list)->updateMenu();
        Entry(list, "menuEditSubMenu")->trigger();
        const QStringList level = Rows(list);
        QCOMPARE(level.size(), 3);
        SelectRow(list, 1);
        QTest::keyClick(list, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(Rows(list).size(), level.size());
        QCOMPARE(Rows(list)[0], level[1]);
        QVERIFY(Find<QToolButton>(w, "menuBack")->isEnabled());
        QCOMPARE(SelectedRow(list), 0);
        // Undo and redo come back to the same level too.
        w.undo();
        QCOMPARE(Rows(list), level);
        w.redo();
        QCOMPARE(Rows(list)[0], level[1]);
    }

    void theSelectionSurvivesEditAndDelete() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const int n = tones->topLevelItemCount();
        SelectRow(tones, 2);
        QTest::keyClick(tones, Qt::Key_Delete);
        QCOMPARE(tones->topLevelItemCount(), n - 1);
        QCOMPARE(SelectedRow(tones), 2);  // the row that took its place
        SelectRow(tones, n - 2);
        QTest::keyClick(tones, Qt::Key_Delete);
        QCOMPARE(SelectedRow(tones), n - 3);  // the last row

        auto* menu = ShowTab(w, Tab::Menu, "menuList");
        Find<QComboBox>(w, "menuLanguage")->setCurrentIndex(1);
        SelectRow(menu, 1);
        ui.dialogs.On<TMenuEdit>() = [](TMenuEdit& d) {
            d.fields[static_cast<std::size_t>(MenuField::FuncPointer)] = "00200000";
            return !d.PressOk();
        };
        QTest::keyClick(menu, Qt::Key_Return);
        QCOMPARE(ui.dialogs.Shown<TMenuEdit>(), 1);
        QCOMPARE(SelectedRow(menu), 1);
    }

    void controlBytesInNamesAreShownEscaped() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        ed.tones.ringtones[0].name = std::string("Two\nLines\x01", 10);
        w.refresh();
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        QVERIFY(Rows(tones)[0].startsWith(QStringLiteral("Two\\x0ALines\\x01|")));
    }

    void enabledStatesTellTheTruth() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        QVERIFY(!Find<QComboBox>(w, "bmpId")->isEnabled());
        QVERIFY(!Find<QAction>(w, "redoAction")->isEnabled());
        QCOMPARE(Find<QLineEdit>(w, "fileName")->focusPolicy(), Qt::NoFocus);
        OpenUndetected(w, dir, 4);
        QVERIFY(!Find<QPushButton>(w, "adjustButton")->isEnabled());
        QVERIFY(!Find<QWidget>(w, "graphicsCommands")->isEnabled());
        Find<QComboBox>(w, "phoneType")->setCurrentIndex(4);
        QVERIFY(Find<QPushButton>(w, "adjustButton")->isEnabled());
        QVERIFY(!Find<QAction>(w, "undoAction")->isEnabled());
    }

    void browsingForTheSecurityCodeKeepsTheTab() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        auto* tabs = Find<QTabWidget>(w, "tabs");
        tabs->setCurrentIndex(static_cast<int>(Tab::Languages));
        Find<QRadioButton>(w, "securityOption3")->click();
        Click(w, "securityBrowse0");
        QCOMPARE(tabs->currentIndex(), static_cast<int>(Tab::Languages));
        QCOMPARE(w.editor().activeTab, Tab::Languages);
    }
};

UI_TEST(MainWindowStateTest);
#include "MainWindowStateTest.moc"
