// The shell's own commands: saving (the two "Nothing to save" cases, the save dialog, the
// checksum dialog's answers, the backup), free-space adjustment, dropped files, About and
// shutdown.

#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

#include "UiHarness.h"
#include "core/Clipboard.h"
#include "ui/About.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

// Opens a sample through the window and changes it with an adjustment of 16 bytes (into
// an MCU free space without its end mark, which can take them).
void OpenAndEdit(TMain& w, ScriptUi& ui, const std::string& path) {
    SampleOptions o;
    o.mcuEndMark = false;
    WriteSample(path, o);
    ui.openAnswers.push_back(path);
    Click(w, "openButton");
    ui.textAnswers.push_back("16");
    Click(w, "adjustButton");
    ui.told.clear();
}

}  // namespace

class ShellCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void nothingToSave() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        // Without an image Save is not offered.
        QVERIFY(!Find<QToolButton>(w, "saveButton")->isEnabled());
        Click(w, "saveButton");
        QVERIFY(ui.told.empty());

        const std::string path = dir.Path("a.fls");
        WriteSample(path);
        ui.openAnswers.push_back(path);
        Click(w, "openButton");
        ui.told.clear();
        Click(w, "saveButton");
        QCOMPARE(ui.Messages(),
                 std::vector<std::string>{"Nothing to save, Please edit flash file first"});
        QVERIFY(ui.saveAsked.empty());
        QVERIFY(ui.checksumAsked.empty());
    }

    void okRepairsTheSavedFile() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenAndEdit(w, ui, dir.Path("a.fls"));
        const std::string out = dir.Path("out.fls");
        ui.saveAnswers.push_back(out);
        ui.checksumAnswers.push_back(true);
        Click(w, "saveButton");

        QCOMPARE(ui.saveAsked.size(), std::size_t{1});
        const FileDialog& d = ui.saveAsked[0];
        QCOMPARE(d.title, std::string("Save Flash As..."));
        QCOMPARE(d.filter, std::string("Flash Files (*.fls) | *.fls"));
        QCOMPARE(d.defaultExt, std::string("fls"));
        QVERIFY(d.overwritePrompt);
        QCOMPARE(ui.checksumAsked, std::vector<std::string>{out});
        QCOMPARE(ui.Messages(), std::vector<std::string>{"File Successfully saved!"});
        QCOMPARE(ui.LastKind(), MessageKind::Info);

        const Bytes saved = ReadFile(out);
        QCOMPARE(saved.size(), w.editor().MainHex.Data().size());
        // Both copies of the MCU checksum and the file check value are right.
        QVERIFY(ChecksumsVerify(saved));
        // The image in memory holds the repaired checksums too: a later save whose question
        // is cancelled must not write back the ones from the open.
        QVERIFY(saved == w.editor().MainHex.Data());
        QVERIFY(!w.editor().MainHex.HasUnsavedChanges());

        // Saving again right away has nothing new.
        Click(w, "saveButton");
        QCOMPARE(ui.Last(), std::string("Nothing to save, Please edit flash file first"));
    }

    void cancelLeavesTheFileAsSaved() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenAndEdit(w, ui, dir.Path("a.fls"));
        const std::string out = dir.Path("out.fls");
        ui.saveAnswers.push_back(out);
        ui.checksumAnswers.push_back(false);
        Click(w, "saveButton");
        QCOMPARE(ui.Messages(),
                 (std::vector<std::string>{"You have to update checksums manually before "
                                           "uploading the file to your phone",
                                           "File Successfully saved!"}));
        QVERIFY(ReadFile(out) == w.editor().MainHex.Data());
    }

    void savingOverTheOpenedFileKeepsABackup() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        const std::string path = dir.Path("a.fls");
        OpenAndEdit(w, ui, path);
        const Bytes original = ReadFile(path);
        ui.saveAnswers.push_back(path);
        ui.checksumAnswers.push_back(false);
        Click(w, "saveButton");
        QVERIFY(ReadFile(path + ".bak") == original);
        QVERIFY(ReadFile(path) == w.editor().MainHex.Data());
        QVERIFY(ReadFile(path) != original);
    }

    void cancelledSaveDialogWritesNothing() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        const std::string path = dir.Path("a.fls");
        OpenAndEdit(w, ui, path);
        ui.saveAnswers.push_back(std::nullopt);
        Click(w, "saveButton");
        QCOMPARE(ui.saveAsked.size(), std::size_t{1});
        QVERIFY(ui.told.empty());
        QVERIFY(ui.checksumAsked.empty());
        QVERIFY(w.editor().MainHex.HasUnsavedChanges());
        QVERIFY(!QFile::exists(QString::fromStdString(path + ".bak")));
    }

    void anUnwritableTargetIsAnErrorAndNoSuccess() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenAndEdit(w, ui, dir.Path("a.fls"));
        ui.saveAnswers.push_back(dir.Path("no-such-folder/out.fls"));
        Click(w, "saveButton");
        QCOMPARE(ui.told.size(), std::size_t{1});
        QCOMPARE(ui.LastKind(), MessageKind::Error);
        QVERIFY(ui.checksumAsked.empty());
        QVERIFY(w.editor().MainHex.HasUnsavedChanges());
    }
    void adjustMovesSpaceBothWays() {
        TempDir dir;
        const std::string path = dir.Path("a.fls");
        SampleOptions o;
        o.mcuEndMark = false;  // so that the MCU count grows by what it gains
        WriteSample(path, o);
        ScriptUi ui;
        TMain w(ui);
        w.openPath(QString::fromStdString(path));
        auto* mcu = Find<QLineEdit>(w, "mcuFree");
        auto* ppm = Find<QLineEdit>(w, "ppmFree");
        const int mcu0 = mcu->text().toInt(), ppm0 = ppm->text().toInt();

        ui.textAnswers.push_back("16");
        QTest::mouseClick(Find<QPushButton>(w, "adjustButton"), Qt::LeftButton);
        QCOMPARE(ui.textAsked.size(), std::size_t{1});
        QCOMPARE(ui.textAsked[0].first, std::string("Adjust MCU Space"));
        QCOMPARE(
            ui.textAsked[0].second,
            "How many bytes to add in MCU?\n\rPlease Enter From 1 to " + std::to_string(ppm0 - 62));
        QCOMPARE(ui.Last(), std::string("MCU free space successfully adjusted"));
        QCOMPARE(mcu->text().toInt(), mcu0 + 16);
        QCOMPARE(ppm->text().toInt(), ppm0 - 16);

        Find<QRadioButton>(w, "adjustPpm")->click();
        ui.textAnswers.push_back("8");
        QTest::mouseClick(Find<QPushButton>(w, "adjustButton"), Qt::LeftButton);
        QCOMPARE(ui.textAsked.back().first, std::string("Adjust PPM Space"));
        QCOMPARE(ui.Last(), std::string("PPM free space successfully adjusted"));
        QCOMPARE(mcu->text().toInt(), mcu0 + 8);
        QCOMPARE(ppm->text().toInt(), ppm0 - 8);
    }

    void adjustReadsTheFieldsAsTheUserLeftThem() {
        TempDir dir;
        const std::string path = dir.Path("a.fls");
        WriteSample(path);
        ScriptUi ui;
        TMain w(ui);
        // No image yet: nothing to adjust, and the button says so.
        QVERIFY(!Find<QPushButton>(w, "adjustButton")->isEnabled());

        w.openPath(QString::fromStdString(path));
        auto* ppm = Find<QLineEdit>(w, "ppmFree");
        ppm->selectAll();
        QTest::keyClicks(ppm, "61");
        QCOMPARE(w.editor().ppmFreeField, std::string("61"));
        QTest::mouseClick(Find<QPushButton>(w, "adjustButton"), Qt::LeftButton);
        QCOMPARE(ui.Last(), std::string("PPM bytes too small, MCU space can not be adjust"));
        QVERIFY(ui.textAsked.empty());
        QVERIFY(!w.editor().MainHex.HasUnsavedChanges());

        // At exactly 62 no positive answer passes; an empty one ends the prompt.
        ppm->selectAll();
        QTest::keyClicks(ppm, "62");
        ui.textAnswers = {std::string("1"), std::string("5"), std::string("")};
        QTest::mouseClick(Find<QPushButton>(w, "adjustButton"), Qt::LeftButton);
        QCOMPARE(ui.textAsked.size(), std::size_t{3});
        QVERIFY(!w.editor().MainHex.HasUnsavedChanges());
    }

    void droppedImagesAndTheCommandLineOpenTheSameWay() {
        TempDir dir;
        const std::string path = dir.Path("drop.fls");
        WriteSample(path);
        ScriptUi ui;
        TMain w(ui);
        QSignalSpy ran(&w, &TMain::commandRan);

        QMimeData other;
        other.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.Path("notes.txt")))});
        QDragEnterEvent refuse(QPoint(5, 5), Qt::CopyAction, &other, Qt::LeftButton,
                               Qt::NoModifier);
        QApplication::sendEvent(&w, &refuse);
        QVERIFY(!refuse.isAccepted());
        QDropEvent dropOther(QPointF(5, 5), Qt::CopyAction, &other, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &dropOther);
        QCOMPARE(ran.count(), 0);

        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &drop);
        QCOMPARE(ran.count(), 1);
        QCOMPARE(ran.at(0).at(0).toString(), QStringLiteral("open"));
        QVERIFY(ui.openAsked.empty());
        QCOMPARE(Find<QComboBox>(w, "phoneType")->currentText(), QStringLiteral("3310"));
        QCOMPARE(w.editor().fileNameField, path);
    }

    void aboutBoxShowsItsLines() {
        ScriptUi ui;
        TMain w(ui);
        QStringList texts;
        bool sawOk = false;
        WhenModal([&](QWidget* d) {
            QVERIFY(qobject_cast<TAboutBox*>(d));
            for (QLabel* l : d->findChildren<QLabel*>()) texts << l->text();
            auto* ok = d->findChild<QPushButton*>("aboutOk");
            QVERIFY(ok);
            sawOk = ok->text() == QStringLiteral("OK");
            ok->click();
        });
        QTest::mouseClick(Find<QPushButton>(w, "aboutButton"), Qt::LeftButton);
        QVERIFY(sawOk);
        QVERIFY(texts.contains(QStringLiteral("BrivantPro Version 1.03")));
        QVERIFY(
            texts.contains(QStringLiteral("This program is for editing Alert tones and other "
                                          "PPM chunks + Menu Security Code Patcher.")));
        QVERIFY(ui.told.empty());
    }

    void closingClearsTheClipboard() {
        ScriptUi ui;
        {
            TMain w(ui);
            w.show();
            ClipboardSet("0A0B");
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("0A0B"));
            w.close();
            QCOMPARE(ClipboardGet(), std::string());
            QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        }
        // Without a window the slot no longer reaches the desktop.
        ClipboardSet("FF");
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
        ClipboardClear();
    }
};

UI_TEST(ShellCommandsTest);
#include "ShellCommandsTest.moc"
