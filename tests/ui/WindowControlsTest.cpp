// The window as a user meets it: controls offered only when they can act, the real Add
// Menu and Image Editor views behind the commands, one current bitmap on the Graphics tab,
// undo from any control, the status line, and typed text taken as typed or refused.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "graphics/GraphicsState.h"
#include "graphics/TImagEdit.h"
#include "menu/SecurityPatch.h"
#include "menu/TAddMenu.h"
#include "menu/TMenuEdit.h"
#include "texts/TLangEdit.h"
#include "ui/Brivant.h"
#include "ui/DialogViews.h"
#include "ui/ListView.h"
#include "ui/TLangEditView.h"
#include "ui/TMenuEditView.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

// The script hands this model to the window's own view instead of answering for the user.
template <typename M>
void RealView(ScriptUi& ui) {
    ui.dialogs.On<M>() = [](M& m) { return DialogViews().at(typeid(M))(nullptr, m); };
}

QString BoxTextOf(QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    return box ? box->text() : QString();
}

}  // namespace

class WindowControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void commandsNeedAnImage() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        const char* buttons[] = {"alertDoIt", "patchButton", "adjustButton", "miscDoIt"};
        for (const char* b : buttons) QVERIFY2(!Find<QPushButton>(w, b)->isEnabled(), b);
        QVERIFY(!Find<QToolButton>(w, "saveButton")->isEnabled());
        QVERIFY(!Find<QToolButton>(w, "graphicsCommands")->isEnabled());
        QVERIFY(Find<QToolButton>(w, "openButton")->isEnabled());
        QVERIFY(Find<QPushButton>(w, "aboutButton")->isEnabled());

        OpenSample(w, dir.Path("a.fls"), 4);
        for (const char* b : buttons) QVERIFY2(Find<QPushButton>(w, b)->isEnabled(), b);
        QVERIFY(Find<QToolButton>(w, "saveButton")->isEnabled());
        QVERIFY(ui.told.empty());
    }

    void addMenuOpensAndAddsThroughTheRealView() {
        for (int family : {4, 10}) {
            TempDir dir;
            ScriptUi ui;
            RealView<TAddMenu>(ui);
            TMain w(ui);
            w.show();
            OpenSample(w, dir.Path("a.fls"), family);
            Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Menu));
            Find<QComboBox>(w, "menuLanguage")->setCurrentIndex(1);
            auto* list = Find<ListView>(w, "menuList");
            const int rows = list->topLevelItemCount();
            QVERIFY(rows > 0);
            SelectRow(list, 0);
            WhenModal([](QWidget* d) {
                auto* name = Find<QLineEdit>(*d, "menuName");
                name->selectAll();
                QTest::keyClicks(name, QStringLiteral("Games"));
                Click(*d, "ok");
            });
            Entry(list, "menuAdd")->trigger();
            QVERIFY2(ui.told.empty(), ui.told.empty() ? "" : ui.Last().c_str());
            QCOMPARE(list->topLevelItemCount(), rows + 1);
            QCOMPARE(list->topLevelItem(rows)->text(0), QStringLiteral("Games"));
            QCOMPARE(w.statusText().isEmpty(), false);
        }
    }

    void imageEditorEscapeAfterClearChangesNothing() {
        TempDir dir;
        ScriptUi ui;
        RealView<TImagEdit>(ui);
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Graphics));
        const Bytes before = w.editor().MainHex.Data();
        for (bool closeBox : {false, true}) {
            WhenModal([closeBox](QWidget* d) {
                Click(*d, "clear");
                if (closeBox)
                    d->close();
                else
                    QTest::keyClick(d, Qt::Key_Escape);
            });
            Find<QAction>(w, "bitmapEdit")->trigger();
            QCOMPARE(w.editor().MainHex.Data(), before);
        }
        // The next opening starts unaccepted: closing it writes nothing either.
        WhenModal([](QWidget* d) { d->close(); });
        Find<QAction>(w, "bitmapEdit")->trigger();
        QCOMPARE(w.editor().MainHex.Data(), before);
        QVERIFY(!w.editor().MainHex.Modified());
    }

    void theBmpIdSelectorNamesTheBitmapTheCommandsChange() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Graphics));
        GraphicsState& g = w.editor().graphics;
        auto* ids = Find<QComboBox>(w, "bmpId");
        // On opening, the selector names the bitmap the preview shows.
        QCOMPARE(ids->currentIndex(), g.current);

        Find<QComboBox>(w, "frame")->setCurrentIndex(3);
        const int shown = g.current;
        QCOMPARE(ids->currentIndex(), shown);
        QCOMPARE(Find<QLabel>(w, "bmpWidth")->text(),
                 QStringLiteral("Width: %1").arg(g.shownWidth));

        const Bytes pixels = g.pixels;
        ui.dialogs.On<TImagEdit>() = [](TImagEdit& m) {
            m.Invert();
            m.Ok();
            return true;
        };
        Find<QAction>(w, "bitmapEdit")->trigger();
        QCOMPARE(g.current, shown);
        QCOMPARE(ids->currentIndex(), shown);
        QCOMPARE(g.pixels.at(0), static_cast<std::uint8_t>(~pixels.at(0)));
        QVERIFY(w.statusText().contains(ids->itemText(shown)));
        // The preview keeps its box whatever it shows.
        const QSize box = Find<QLabel>(w, "preview")->size();
        ids->setCurrentIndex(0);
        QCOMPARE(Find<QLabel>(w, "preview")->size(), box);
    }

    void undoWorksWithTheFocusInTheSpinBox() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        OpenSample(w, dir.Path("a.fls"), 4);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Graphics));
        const Bytes before = w.editor().MainHex.Data();
        ui.dialogs.On<TImagEdit>() = [](TImagEdit& m) {
            m.Invert();
            m.Ok();
            return true;
        };
        Find<QAction>(w, "bitmapEdit")->trigger();
        QVERIFY(w.editor().MainHex.Data() != before);
        QVERIFY(!w.statusText().isEmpty());

        auto* spin = Find<QSpinBox>(w, "lengthUpDown");
        spin->setFocus();
        QVERIFY(spin->hasFocus());
        QTest::keyClick(spin, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.editor().MainHex.Data(), before);
        QVERIFY(w.statusText().startsWith(QStringLiteral("Undone")));
        QTest::keyClick(spin, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(w.editor().MainHex.Data() != before);

        // Opening an image clears the line.
        ui.saveChangesAnswers.push_back(SaveChoice::Discard);
        OpenSample(w, dir.Path("b.fls"), 4);
        QVERIFY(w.statusText().isEmpty());
    }

    void rowEntriesOnlyOnARowAndDoubleClickIsEnter() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        auto* list = Find<ListView>(w, "tonesList");
        QVERIFY(list->topLevelItemCount() > 0);
        // Right-clicked below the rows: nothing selected, nothing about a row offered.
        SelectRow(list, 1);
        const QPoint blank(5, list->viewport()->height() - 2);
        QVERIFY(!list->itemAt(blank));
        emit list->customContextMenuRequested(blank);
        QVERIFY(list->contextMenu()->isVisible());
        QCOMPARE(list->selectedRow(), -1);
        for (const char* row : {"toneChange", "toneRetrieve", "toneDelete"})
            QVERIFY2(!Entry(list, row)->isEnabled(), row);
        QVERIFY(Entry(list, "toneAdd")->isEnabled());
        // Undo is there too, whatever is selected.
        QVERIFY(list->contextMenu()->actions().contains(w.findChild<QAction*>("undoAction")));
        list->contextMenu()->hide();

        // Right-clicked on a row: that row, and its entries.
        emit list->customContextMenuRequested(list->visualItemRect(list->topLevelItem(1)).center());
        QCOMPARE(list->selectedRow(), 1);
        QVERIFY(Entry(list, "toneChange")->isEnabled());
        list->contextMenu()->hide();

        QSignalSpy ran(&w, &TMain::commandRan);
        ui.openAnswers.push_back(std::nullopt);  // Change asks for a file: cancelled
        emit list->itemDoubleClicked(list->topLevelItem(2), 0);
        QCOMPARE(Names(ran).count(QStringLiteral("toneChange")), 1);
        QCOMPARE(list->selectedRow(), 2);
    }

    void thePatchButtonFollowsTheChoiceAfterAFailure() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        auto* patch = Find<QPushButton>(w, "patchButton");
        Find<QRadioButton>(w, "securityOption3")->click();  // Manual, both fields empty
        QTest::mouseClick(patch, Qt::LeftButton);
        QCOMPARE(ui.Messages(), std::vector<std::string>{kManualFieldsEmpty});
        QVERIFY(!patch->isEnabled());
        Find<QRadioButton>(w, "securityOption0")->click();
        QVERIFY(patch->isEnabled());
        // Choosing the same method again after a failure offers the button again too.
        Find<QRadioButton>(w, "securityOption3")->click();
        QTest::mouseClick(patch, Qt::LeftButton);
        QVERIFY(!patch->isEnabled());
        Find<QRadioButton>(w, "securityOption3")->click();
        QVERIFY(patch->isEnabled());
    }

    void aWrongPhoneTypeIsRefusedInPlainWords() {
        TempDir dir;
        const std::string path = dir.Path("u.fls");
        SampleOptions o;
        o.family = 4;
        o.designation = kNoDesignation;
        WriteSample(path, o);
        ScriptUi ui;
        TMain w(ui);
        w.openPath(QString::fromStdString(path));
        auto* type = Find<QComboBox>(w, "phoneType");
        QVERIFY(type->isEnabled());
        const Bytes before = w.editor().MainHex.Data();

        type->setCurrentIndex(18);  // 62XX/7110 for a 3310 image
        QCOMPARE(ui.Messages().size(), std::size_t{1});
        QVERIFY2(Has(ui.Last(), "cannot be read as a 62XX/7110"), ui.Last().c_str());
        QVERIFY(!Has(ui.Last(), "Invalid"));
        QCOMPARE(w.editor().PhoneType(), 0);
        QCOMPARE(type->currentIndex(), 0);
        QVERIFY(Find<ListView>(w, "tonesList")->topLevelItemCount() == 0);
        QCOMPARE(w.editor().MainHex.Data(), before);

        type->setCurrentIndex(4);
        QCOMPARE(w.editor().PhoneType(), 4);
        QCOMPARE(ui.Messages().size(), std::size_t{1});
        QVERIFY(Find<ListView>(w, "tonesList")->topLevelItemCount() > 0);
    }

    void readOnlyFieldsLookReadOnly() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenSample(w, dir.Path("a.fls"), 4);  // 3310: short records, no tip pointer
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Menu));
        Find<QComboBox>(w, "menuLanguage")->setCurrentIndex(1);
        const MenuRow& r = w.editor().menu.tab.rows.at(0);
        TMenuEdit model(r.name, r.record);
        TMenuEditView v(model);
        auto looksReadOnly = [](QLineEdit* f) {
            return f->isReadOnly() &&
                   f->palette().color(QPalette::Base) == f->palette().color(QPalette::Window);
        };
        QVERIFY(looksReadOnly(v.field(MenuField::TipPointer)));
        QVERIFY(looksReadOnly(Find<QLineEdit>(v, "menuName")));
        QVERIFY(!looksReadOnly(v.field(MenuField::BmpId)));
        QVERIFY(looksReadOnly(Find<QLineEdit>(w, "fileName")));
    }

    void typedTextIsTakenAsTypedOrRefused() {
        TLangEdit model;
        model.Load({"OK", "Menu"}, false);
        TLangEditView v(model);
        v.show();
        auto* text = Find<QLineEdit>(v, "text");
        text->setFocus();
        text->end(false);
        QString told;
        WhenModal([&told](QWidget* box) { told = BoxTextOf(box); });
        // Typed as a key that gives the character (the test keyboard knows only ASCII).
        QKeyEvent euro(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier,
                       QString::fromUtf8("\u20AC"));
        QApplication::sendEvent(text, &euro);
        QVERIFY2(told.contains(QStringLiteral("U+20AC")), qPrintable(told));
        QVERIFY(told.contains(QStringLiteral("\\xHH")));
        QCOMPARE(text->text(), QStringLiteral("OK"));
        QCOMPARE(model.Texts()[0], std::string("OK"));

        // A backslash that starts no \xHH is refused on OK, naming how to write one.
        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("C:\\dir 50%"));
        told.clear();
        WhenModal([&told](QWidget* box) { told = BoxTextOf(box); });
        Click(v, "ok");
        QVERIFY2(told.contains(QStringLiteral("\\x5C")), qPrintable(told));
        QVERIFY(v.isVisible());
        QVERIFY(model.Result().empty());

        text->selectAll();
        QTest::keyClicks(text, QStringLiteral("C:\\x5Cdir 50%"));
        Click(v, "ok");
        QCOMPARE(v.result(), int(QDialog::Accepted));
        const Bytes result = model.Result();
        const std::string stored(result.begin() + 2, result.end());
        QCOMPARE(stored, std::string("C:\\dir 50%Menu"));
    }
};

UI_TEST(WindowControlsTest);
#include "WindowControlsTest.moc"
