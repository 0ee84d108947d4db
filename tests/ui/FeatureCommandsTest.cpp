// Feature commands driven through the window on real images: the rendered lists follow
// the editor, and the editor follows the user's selection and choices.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

class FeatureCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void deletingARingtoneWithTheKeyShrinksTheList() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const int rows = tones->topLevelItemCount();
        QVERIFY(rows >= 2);
        QCOMPARE(static_cast<std::size_t>(rows), w.editor().tones.ringtones.size());
        const QString second = tones->topLevelItem(1)->text(0);

        tones->topLevelItem(0)->setSelected(true);
        QCOMPARE(w.editor().tones.selectedRingtone, 0);
        QTest::keyClick(tones, Qt::Key_Delete);
        QVERIFY(ui.told.empty());
        QCOMPARE(tones->topLevelItemCount(), rows - 1);
        QCOMPARE(tones->topLevelItem(0)->text(0), second);
        QCOMPARE(Find<QLabel>(w, "toneCount")->text(),
                 QString::fromStdString(w.editor().tones.ringtoneCount));
        QVERIFY(w.editor().PpmChanged);
        // The row that took the deleted one's place is selected: a second Delete goes on.
        QCOMPARE(SelectedRow(tones), 0);
        QTest::keyClick(tones, Qt::Key_Delete);
        QCOMPARE(tones->topLevelItemCount(), rows - 2);
    }

    void theDeleteKeyKeepsTheRowsOfAWideCatalog() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("w.fls"), 18);
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const int rows = tones->topLevelItemCount();
        QVERIFY(rows >= 4);
        const std::string piece = w.editor().ppm[Piece::TONE];
        tones->topLevelItem(3)->setSelected(true);
        QTest::keyClick(tones, Qt::Key_Delete);
        QCOMPARE(tones->topLevelItemCount(), rows);
        QCOMPARE(w.editor().ppm[Piece::TONE], piece);
        QVERIFY(!ui.told.empty());
        QCOMPARE(ui.told.back().first, std::string(kNoDelete62xx));
    }

    void alertToneChoicesReachTheEditor() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenSample(w, dir.Path("a.fls"), 4);
        Find<QComboBox>(w, "alertTone")->setCurrentIndex(3);
        Find<QRadioButton>(w, "alertRetrieve")->click();
        QCOMPARE(w.editor().tones.alertKind, 3);
        QVERIFY(!w.editor().tones.alertChange);

        const std::string out = dir.Path("ascending.re");
        ui.saveAnswers.push_back(out);
        QTest::mouseClick(Find<QPushButton>(w, "alertDoIt"), Qt::LeftButton);
        QVERIFY(ui.told.empty());
        QCOMPARE(ui.saveAsked.size(), std::size_t{1});
        QVERIFY(!ReadFile(out).empty());
        // Retrieving changes nothing in the image.
        QVERIFY(!w.editor().MainHex.HasUnsavedChanges());
        QCOMPARE(Find<QComboBox>(w, "alertTone")->currentIndex(), 3);
        QVERIFY(Find<QRadioButton>(w, "alertRetrieve")->isChecked());
    }

    void the62xxAlertTonesSelectTheirRingtoneRow() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenSample(w, dir.Path("b.fls"), 18);
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const int rows = tones->topLevelItemCount();
        QVERIFY(rows > 0);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(3);
        Find<QRadioButton>(w, "alertRetrieve")->click();
        ui.saveAnswers.push_back(dir.Path("standard.re"));
        QTest::mouseClick(Find<QPushButton>(w, "alertDoIt"), Qt::LeftButton);
        QVERIFY(ui.Messages() == std::vector<std::string>{});
        const int row = AlertRow62xx(0, static_cast<std::size_t>(rows));
        QCOMPARE(Find<QTabWidget>(w, "tabs")->currentIndex(), 0);
        QCOMPARE(tones->selectedItems().size(), qsizetype{1});
        QCOMPARE(tones->indexOfTopLevelItem(tones->selectedItems().front()), row);
    }

    void commandsWithoutAnImageAreNotOffered() {
        ScriptUi ui;
        TMain w(ui);
        QVERIFY(!Find<QPushButton>(w, "alertDoIt")->isEnabled());
        QTest::mouseClick(Find<QPushButton>(w, "alertDoIt"), Qt::LeftButton);
        QVERIFY(ui.told.empty());
        QCOMPARE(Find<QTreeWidget>(w, "tonesList")->topLevelItemCount(), 0);
    }
};

UI_TEST(FeatureCommandsTest);
#include "FeatureCommandsTest.moc"
