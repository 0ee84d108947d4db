// Saving from the window: the two "Nothing to save" cases, the save dialog, the checksum
// dialog's two answers and the backup kept when saving over the opened file.

#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include "UiHarness.h"
#include "app/FileFlow.h"
#include "core/HexText.h"
#include "ppm/Checksums.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

void Click(TMain& w, const char* name) {
    auto* b = w.findChild<QAbstractButton*>(QString::fromLatin1(name));
    if (!b) qFatal("no button %s", name);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Opens a sample through the window and changes it with an adjustment of 16 bytes.
void OpenAndEdit(TMain& w, ScriptUi& ui, const std::string& path) {
    WriteSample(path);
    ui.openAnswers.push_back(path);
    Click(w, "openButton");
    ui.textAnswers.push_back("16");
    Click(w, "adjustButton");
    ui.told.clear();
}

}  // namespace

class SaveFlowTest : public QObject {
    Q_OBJECT

  private slots:
    void nothingToSave() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        Click(w, "saveButton");
        QCOMPARE(ui.Messages(),
                 std::vector<std::string>{"Nothing to save, Please open flash file first"});
        QCOMPARE(ui.LastKind(), MessageKind::Error);

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

        const Bytes saved = ReadBytes(out);
        QCOMPARE(saved.size(), w.editor().MainHex.Data().size());
        // Both copies of the MCU checksum and the file check value are right.
        QVERIFY(ChecksumsVerify(saved));
        // Only the file is repaired; the image in memory keeps its bytes.
        QVERIFY(saved != w.editor().MainHex.Data());
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
        QVERIFY(ReadBytes(out) == w.editor().MainHex.Data());
    }

    void savingOverTheOpenedFileKeepsABackup() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        const std::string path = dir.Path("a.fls");
        OpenAndEdit(w, ui, path);
        const Bytes original = ReadBytes(path);
        ui.saveAnswers.push_back(path);
        ui.checksumAnswers.push_back(false);
        Click(w, "saveButton");
        QVERIFY(ReadBytes(path + ".bak") == original);
        QVERIFY(ReadBytes(path) == w.editor().MainHex.Data());
        QVERIFY(ReadBytes(path) != original);
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
};

QTEST_MAIN(SaveFlowTest)
#include "ui_save_flow.moc"
