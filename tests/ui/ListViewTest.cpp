// The list every tab shares: keys act only on a selected row, Ctrl alone moves, a list
// without rows opens no context menu, entries about a row wait for one, and redrawing the
// same rows keeps the user's selection.

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

#include "UiHarness.h"
#include "ui/ListView.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

const ListView::Rows kTwoRows = {{"Tone A", "00000001", "00000010"},
                                 {"Tone B", "00000002", "00000020"}};

// A list as a page builds one, run by a recorder: each command's name and the row its body
// was given. Like the window, the recorder draws the rows again after every command.
struct Bench {
    QStringList ran;
    std::vector<int> rows;
    ListView::Rows shown;
    bool offerAdd = true;
    ListView list{[this](const char* name, const std::function<void()>& body) {
                      ran << QString::fromLatin1(name);
                      if (body) body();
                      list.setRows(shown);
                  },
                  "list",
                  {"A", "B", "C"},
                  {100, 80, 80}};
    QAction *edit, *add, *del, *up, *down, *pending;

    explicit Bench(bool moves = true) {
        using N = ListView::Needs;
        auto record = [this](int row) { rows.push_back(row); };
        edit = list.addEntry("&Edit", "edit", N::Row, record);
        add = list.addEntry("&Add", "add", N::List, record);
        del = list.addEntry("&Delete", "delete", N::Row, record);
        list.addSeparator();
        QMenu* move = list.addSubmenu("&Move");
        up = list.addEntry("&Up", "up", N::Row, record, move);
        down = list.addEntry("&Down", "down", N::Row, record, move);
        pending = list.addEntry("&Later", "later", N::List, {});
        list.enableWhen(add, [this] { return offerAdd; });
        list.enableWhen(del, [this] { return offerAdd; });
        list.bindKey(ListView::Key::Enter, edit);
        list.bindKey(ListView::Key::Delete, del);
        if (moves) {
            list.bindKey(ListView::Key::CtrlUp, up);
            list.bindKey(ListView::Key::CtrlDown, down);
        }
        list.show();
    }
    void fill(const ListView::Rows& r = kTwoRows) {
        shown = r;
        list.setRows(r);
    }
    void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(&list, key, mods);
    }
};

}  // namespace

class ListViewTest : public QObject {
    Q_OBJECT

  private slots:
    void keysActOnlyOnASelectedRow() {
        Bench b;
        // Ctrl+Down comes last: with no row selected it is the list's own move, which
        // selects one.
        auto pressAll = [&b] {
            b.press(Qt::Key_Delete);
            b.press(Qt::Key_Return);
            b.press(Qt::Key_Enter, Qt::KeypadModifier);
            b.press(Qt::Key_Down, Qt::ControlModifier);
        };
        b.list.setFocus();
        pressAll();
        b.fill();
        b.list.clearSelection();
        pressAll();
        QCOMPARE(b.ran, QStringList());

        b.list.clearSelection();
        b.list.topLevelItem(1)->setSelected(true);
        b.press(Qt::Key_Return);
        b.press(Qt::Key_Enter, Qt::KeypadModifier);
        b.press(Qt::Key_Delete);
        // A modified Delete or Enter is not the command.
        b.press(Qt::Key_Delete, Qt::ShiftModifier);
        b.press(Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(b.ran, (QStringList{"edit", "edit", "delete"}));
        QCOMPARE(b.rows, (std::vector<int>{1, 1, 1}));
        // Redrawn after each command, the list still shows its rows and the selection.
        QCOMPARE(b.list.topLevelItemCount(), 2);
        QCOMPARE(b.list.selectedRow(), 1);
    }

    void ctrlAloneMovesAndOnlyWhereBound() {
        Bench b;
        b.fill();
        b.list.setFocus();
        b.list.topLevelItem(1)->setSelected(true);
        b.press(Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier);
        b.press(Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier);
        b.press(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(b.ran, QStringList());
        b.press(Qt::Key_Up, Qt::ControlModifier);
        b.press(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(b.ran, (QStringList{"up", "down"}));
        QCOMPARE(b.up->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Up));
        QCOMPARE(b.down->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Down));

        // Without the binding Ctrl+Up means nothing special.
        Bench plain(false);
        plain.fill();
        plain.list.topLevelItem(1)->setSelected(true);
        plain.press(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(plain.ran, QStringList());
        QVERIFY(plain.up->shortcut().isEmpty());
    }

    void onlyAListWithRowsOpensItsMenu() {
        Bench b;
        QCOMPARE(b.list.contextMenuPolicy(), Qt::NoContextMenu);
        QSignalSpy asked(&b.list, &QWidget::customContextMenuRequested);
        QVERIFY(!ContextMenu(&b.list));
        QCOMPARE(asked.count(), 0);

        b.fill();
        QCOMPARE(b.list.contextMenuPolicy(), Qt::CustomContextMenu);
        QMenu* m = ContextMenu(&b.list);
        QCOMPARE(m, b.list.contextMenu());
        QCOMPARE(Captions(m), (QStringList{"&Edit", "&Add", "&Delete", "", "&Move", ">&Up",
                                           ">&Down", "&Later"}));
        m->hide();

        // Emptied again (a new image): no menu any more.
        b.fill({});
        QCOMPARE(b.list.contextMenuPolicy(), Qt::NoContextMenu);
        QVERIFY(!ContextMenu(&b.list));
    }

    void entriesAboutARowWaitForOne() {
        Bench b;
        b.fill();
        b.list.clearSelection();
        for (QAction* a : {b.edit, b.del, b.up, b.down}) a->trigger();
        QCOMPARE(b.ran, QStringList());
        // Entries about the whole list run without a row; one without a body by name alone.
        b.add->trigger();
        b.pending->trigger();
        QCOMPARE(b.ran, (QStringList{"add", "later"}));
        QCOMPARE(b.rows, std::vector<int>{-1});

        b.list.topLevelItem(0)->setSelected(true);
        for (QAction* a : {b.edit, b.del, b.up, b.down}) a->trigger();
        QCOMPARE(b.ran, (QStringList{"add", "later", "edit", "delete", "up", "down"}));
        QCOMPARE(b.rows, (std::vector<int>{-1, 0, 0, 0, 0}));
    }

    void entriesFollowTheirRulesButKeysDoNot() {
        Bench b;
        b.offerAdd = false;
        b.fill();
        QVERIFY(!b.add->isEnabled() && !b.del->isEnabled());
        QVERIFY(b.edit->isEnabled());
        // The Delete key still deletes.
        b.list.setFocus();
        b.list.topLevelItem(0)->setSelected(true);
        b.press(Qt::Key_Delete);
        QCOMPARE(b.ran, QStringList{"delete"});

        // The rules are asked again as the menu opens, without the rows changing.
        b.offerAdd = true;
        QMenu* m = ContextMenu(&b.list);
        QVERIFY(m);
        QVERIFY(b.add->isEnabled() && b.del->isEnabled());
        m->hide();
        b.offerAdd = false;
        b.list.updateMenu();
        QVERIFY(!b.add->isEnabled());
    }

    void sameRowsKeepTheSelection() {
        Bench b;
        b.fill();
        b.list.selectRow(1);
        QCOMPARE(b.list.selectedRow(), 1);
        QTreeWidgetItem* item = b.list.topLevelItem(1);
        b.list.setRows(kTwoRows);
        QCOMPARE(b.list.topLevelItem(1), item);
        QCOMPARE(b.list.selectedRow(), 1);

        ListView::Rows changed = kTwoRows;
        changed[1][2] = "00000024";
        b.list.setRows(changed);
        QCOMPARE(Rows(&b.list),
                 (QStringList{"Tone A|00000001|00000010", "Tone B|00000002|00000024"}));
        // Changed rows keep the selection on its row.
        QCOMPARE(b.list.selectedRow(), 1);
        b.list.setRows({kTwoRows[0]});  // the selected row went: the last row is selected
        QCOMPARE(b.list.selectedRow(), 0);
        b.list.setRows(kTwoRows);
        b.list.selectRow(0);
        QCOMPARE(SelectedRow(&b.list), 0);
        b.list.selectRow(-1);
        QCOMPARE(SelectedRow(&b.list), -1);
        // A row past the end selects nothing.
        b.list.selectRow(5);
        QCOMPARE(SelectedRow(&b.list), -1);
    }
};

UI_TEST(ListViewTest);
#include "ListViewTest.moc"
