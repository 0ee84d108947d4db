// Undo and redo from the keyboard, the title's unsaved-changes marker, and the question
// before opening another file or closing over unsaved changes.

#include <QAbstractButton>
#include <QAction>
#include <QMessageBox>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "app/UndoFlow.h"
#include "ui/Brivant.h"
#include "ui/QtInteraction.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

QString Title(const char* file, bool unsaved) {
    return (unsaved ? QStringLiteral("*") : QString()) + QString::fromLatin1(file) +
           QString::fromUtf8(" \u2014 ") + QString::fromLatin1(kMainCaption);
}

void Key(TMain& w, int key, Qt::KeyboardModifiers mods) {
    QTest::keyClick(w.focusWidget() ? w.focusWidget() : &w, static_cast<Qt::Key>(key), mods);
}

}  // namespace

class UndoHistoryTest : public QObject {
    Q_OBJECT

  private slots:
    void ctrlZBringsADeletedRingtoneBackAndCtrlYDeletesItAgain() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const QStringList rows = Rows(tones);
        const std::string piece = ed.ppm[Piece::TONE];
        const Bytes image = ed.MainHex.Data();
        QCOMPARE(w.windowTitle(), Title("a.fls", false));

        SelectRow(tones, 2);
        tones->setFocus();
        QTest::keyClick(tones, Qt::Key_Delete);
        QCOMPARE(Rows(tones).size(), rows.size() - 1);
        const std::string deleted = ed.ppm[Piece::TONE];
        QVERIFY(deleted != piece);
        QCOMPARE(w.windowTitle(), Title("a.fls", true));

        const QString step =
            QStringLiteral("Delete ringtone \"%1\"").arg(rows[2].section(QLatin1Char('|'), 0, 0));
        Key(w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Rows(tones), rows);
        QCOMPARE(ed.ppm[Piece::TONE], piece);
        QVERIFY(ed.MainHex.Data() == image);
        QCOMPARE(w.statusText(), QStringLiteral("Undone: ") + step);
        QCOMPARE(w.windowTitle(), Title("a.fls", false));

        Key(w, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Rows(tones).size(), rows.size() - 1);
        QCOMPARE(ed.ppm[Piece::TONE], deleted);
        QCOMPARE(w.statusText(), QStringLiteral("Redone: ") + step);
        QCOMPARE(w.windowTitle(), Title("a.fls", true));

        // Ctrl+Shift+Z redoes as Ctrl+Y does; with nothing left Redo is not offered.
        Key(w, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(Find<QAction>(w, "redoAction")->isEnabled());
        Key(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(ed.ppm[Piece::TONE], deleted);
        QVERIFY(!Find<QAction>(w, "redoAction")->isEnabled());
        QVERIFY(Find<QAction>(w, "undoAction")->isEnabled());
        Key(w, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.statusText(), QStringLiteral("Redone: ") + step);
        QVERIFY(ui.told.empty());
    }

    void savingTakesTheMarkerAway() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        SelectRow(tones, 0);
        QTest::keyClick(tones, Qt::Key_Delete);
        QVERIFY(w.windowTitle().startsWith(QLatin1Char('*')));
        ui.saveAnswers.push_back(dir.Path("a.fls"));
        Click(w, "saveButton");
        QCOMPARE(w.windowTitle(), Title("a.fls", false));
        // Taken back after the save, the image again differs from its file.
        w.undo();
        QCOMPARE(w.windowTitle(), Title("a.fls", true));
    }

    void closingOrOpeningOverUnsavedChangesAsks() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        WriteSample(dir.Path("b.fls"));
        // Nothing changed yet: another file opens without a question.
        w.openPath(QString::fromStdString(dir.Path("b.fls")));
        QVERIFY(ui.saveChangesAsked.empty());
        QCOMPARE(w.windowTitle(), Title("b.fls", false));

        auto* tones = Find<QTreeWidget>(w, "tonesList");
        SelectRow(tones, 0);
        QTest::keyClick(tones, Qt::Key_Delete);
        const QStringList edited = Rows(tones);

        ui.saveChangesAnswers.push_back(SaveChoice::Cancel);
        w.openPath(QString::fromStdString(dir.Path("a.fls")));
        QCOMPARE(ui.saveChangesAsked, std::vector<std::string>{kSaveBeforeOpen});
        QCOMPARE(w.windowTitle(), Title("b.fls", true));
        QCOMPARE(Rows(tones), edited);

        ui.saveChangesAnswers.push_back(SaveChoice::Cancel);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(ui.saveChangesAsked.back(), std::string(kSaveBeforeClose));
        QCOMPARE(Rows(tones), edited);

        ui.saveChangesAnswers.push_back(SaveChoice::Discard);
        QVERIFY(w.close());
        QVERIFY(!w.isVisible());
        QCOMPARE(ui.saveChangesAsked.size(), std::size_t{3});
        QVERIFY(ui.told.empty());
    }

    // The window's port maps each of the three buttons, and closing the box, to its answer.
    void theQuestionBoxAnswersWithItsButtons() {
        QtInteraction ui;
        const std::vector<std::pair<int, SaveChoice>> buttons = {
            {QMessageBox::Save, SaveChoice::Save},
            {QMessageBox::Discard, SaveChoice::Discard},
            {QMessageBox::Cancel, SaveChoice::Cancel},
            {-1, SaveChoice::Cancel},  // Escape
        };
        for (const auto& [button, choice] : buttons) {
            QString text;
            int shown = 0;
            WhenModal([&, button = button](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                QVERIFY(box);
                text = box->text();
                shown = static_cast<int>(box->standardButtons());
                if (button < 0)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->button(static_cast<QMessageBox::StandardButton>(button))->click();
            });
            QCOMPARE(ui.askSaveChanges(kSaveBeforeClose), choice);
            QCOMPARE(text, QString::fromLatin1(kSaveBeforeClose));
            QCOMPARE(shown, static_cast<int>(QMessageBox::Save | QMessageBox::Discard |
                                             QMessageBox::Cancel));
        }
    }
};

UI_TEST(UndoHistoryTest);
#include "UndoHistoryTest.moc"
