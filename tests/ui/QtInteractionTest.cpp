// The Qt side of asking and telling: filter translation, the file dialogs' titles and
// options, message boxes, the text prompt and the "Update Checksum" dialog.

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "UiHarness.h"
#include "ui/QtInteraction.h"
#include "ui/TCheckfrmView.h"
#include "ui/WidgetHelpers.h"

using namespace brivant;
using namespace brivant::uitest;

class QtInteractionTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The desktop's own dialogs cannot be driven from a test.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    }

    void filtersKeepTheirVisibleText() {
        QCOMPARE(QtNameFilters("Flash Files (*.fls)|*.fls"), QStringList{"Flash Files (*.fls)"});
        QCOMPARE(QtNameFilters("Flash Files (*.fls) | *.fls"), QStringList{"Flash Files (*.fls)"});
        // A text without its patterns gets them appended so that Qt can read them.
        QCOMPARE(QtNameFilters("PPMChunk|*.bin"), QStringList{"PPMChunk (*.bin)"});
        QCOMPARE(QtNameFilters("Tone (*.re)|*.re|All|*.*"),
                 (QStringList{"Tone (*.re)", "All (*.*)"}));
        QCOMPARE(QtNameFilters("Pictures|*.bmp;*.BMP"), QStringList{"Pictures (*.bmp *.BMP)"});
        // A visible text that shows other patterns than the ones that apply.
        QCOMPARE(QtNameFilters("Images (*.x)|*.bmp"), QStringList{"Images (*.x) (*.bmp)"});
        QCOMPARE(QtNameFilters(""), QStringList());
    }

    void coreTextsBecomeReadable() {
        QCOMPARE(ForDisplay("Cannot open a.\r\n(No such file.)"),
                 QStringLiteral("Cannot open a.\n(No such file.)"));
        QCOMPARE(ForDisplay("How many?\n\rPlease Enter From 1 to 5"),
                 QStringLiteral("How many?\nPlease Enter From 1 to 5"));
        // Names read from an image are single bytes; they must survive, not turn into '?'.
        QCOMPARE(FromCore(std::string("Fran\xE7"
                                      "ais")),
                 QStringLiteral("Fran\u00E7ais"));
        QCOMPARE(FromCore("Fran\xC3\xA7"
                          "ais"),
                 QStringLiteral("Fran\u00E7ais"));
        // A single-byte text that ends like the start of a UTF-8 sequence keeps its end.
        QCOMPARE(FromCore("Caf\xC3"), QStringLiteral("Caf\u00C3"));
        QCOMPARE(FromCore("Caf\xC3\xA9\xE9"), QStringLiteral("Caf\u00C3\u00A9\u00E9"));
        const QString path = QStringLiteral("/tmp/bild-\u00E4.fls");
        QCOMPARE(FromCorePath(ToCorePath(path)), path);
    }

    void openDialogShowsTitleFilterAndMustExist() {
        TempDir dir;
        const std::string file = dir.Path("pick.fls");
        WriteFile(file, Bytes(16, 0));
        QtInteraction ui;
        FileDialog d{"Open Flash Files...", "Flash Files (*.fls)|*.fls", "fls", "", true, false};

        QString title;
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        QString suffix;
        WhenModal([&](QWidget* w) {
            auto* f = qobject_cast<QFileDialog*>(w);
            QVERIFY(f);
            title = f->windowTitle();
            filters = f->nameFilters();
            mode = f->fileMode();
            suffix = f->defaultSuffix();
            QCOMPARE(f->acceptMode(), QFileDialog::AcceptOpen);
            f->reject();
        });
        QCOMPARE(ui.askOpenFile(d), std::nullopt);
        QCOMPARE(title, QStringLiteral("Open Flash Files..."));
        QCOMPARE(filters, QStringList{"Flash Files (*.fls)"});
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QCOMPARE(suffix, QStringLiteral("fls"));

        WhenModal([&](QWidget* w) {
            auto* f = qobject_cast<QFileDialog*>(w);
            QVERIFY(f);
            f->selectFile(QString::fromStdString(file));
            QMetaObject::invokeMethod(f, "accept");
        });
        QCOMPARE(ui.askOpenFile(d), std::optional<std::string>(file));
    }

    void saveDialogPromptsBeforeOverwriting() {
        QtInteraction ui;
        FileDialog d{"Save Flash As...", "Flash Files (*.fls) | *.fls", "fls", "", false, true};
        bool confirms = false;
        QString title;
        WhenModal([&](QWidget* w) {
            auto* f = qobject_cast<QFileDialog*>(w);
            QVERIFY(f);
            title = f->windowTitle();
            QCOMPARE(f->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(f->nameFilters(), QStringList{"Flash Files (*.fls)"});
            confirms = !f->testOption(QFileDialog::DontConfirmOverwrite);
            f->reject();
        });
        QCOMPARE(ui.askSaveFile(d), std::nullopt);
        QCOMPARE(title, QStringLiteral("Save Flash As..."));
        QVERIFY(confirms);
    }

    void messagesAndPrompts() {
        QtInteraction ui;
        QString text, title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        WhenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            text = box->text();
            title = box->windowTitle();
            icon = box->icon();
            box->accept();
        });
        ui.error("Please open flash file first");
        QCOMPARE(text, QStringLiteral("Please open flash file first"));
        QCOMPARE(title, QStringLiteral("Brivant Pro by Tamrek"));
        QCOMPARE(icon, QMessageBox::Warning);

        WhenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            QVERIFY(box);
            icon = box->icon();
            box->accept();
        });
        ui.info("File Successfully saved!");
        QCOMPARE(icon, QMessageBox::Information);

        QString label;
        bool titleFits = false;
        WhenModal([&](QWidget* w) {
            auto* in = qobject_cast<QInputDialog*>(w);
            QVERIFY(in);
            title = in->windowTitle();
            label = in->labelText();
            titleFits = in->width() >= TitleWidth(in, title);
            in->setTextValue(QStringLiteral("12"));
            in->accept();
        });
        const auto answer = ui.askText(
            "Adjust MCU Space", "How many bytes to add in MCU?\n\rPlease Enter From 1 to 9", "");
        QCOMPARE(answer, std::optional<std::string>("12"));
        QCOMPARE(title, QStringLiteral("Adjust MCU Space"));
        QVERIFY(titleFits);
        QCOMPARE(label, QStringLiteral("How many bytes to add in MCU?\nPlease Enter From 1 to 9"));

        WhenModal([](QWidget* w) {
            auto* in = qobject_cast<QInputDialog*>(w);
            QVERIFY(in);
            in->reject();
        });
        QCOMPARE(ui.askText("Adjust PPM Space", "?", ""), std::nullopt);
    }

    void checksumDialogAnswersOkAndCancel() {
        QWidget window;
        QtInteraction ui;
        ui.attach(&window);
        TCheckfrmView* dlg = ui.checksumDialog();
        QVERIFY(dlg);
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Update Checksum"));
        // A question, not a lone choice; its title shows whole.
        auto* question = dlg->findChild<QLabel*>("updateAll");
        QVERIFY(question);
        QVERIFY(dlg->width() >= TitleWidth(dlg, dlg->windowTitle()));
        auto* ok = dlg->findChild<QPushButton*>("checksumOk");
        auto* cancel = dlg->findChild<QPushButton*>("checksumCancel");
        QVERIFY(ok && cancel);
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QCOMPARE(cancel->text(), QStringLiteral("&Cancel"));
        QVERIFY(!dlg->findChild<QLineEdit*>("checksumPath")->isVisibleTo(dlg));

        WhenModal([&](QWidget* w) {
            QCOMPARE(w, static_cast<QWidget*>(dlg));
            QCOMPARE(dlg->path(), QStringLiteral("/tmp/x.fls"));
            QVERIFY(question->text().contains(QStringLiteral("x.fls")));
            ok->click();
        });
        QVERIFY(ui.confirmChecksum("/tmp/x.fls"));
        WhenModal([&](QWidget*) { cancel->click(); });
        QVERIFY(!ui.confirmChecksum("/tmp/y.fls"));
        QCOMPARE(dlg->path(), QStringLiteral("/tmp/y.fls"));
    }
};

UI_TEST(QtInteractionTest);
#include "QtInteractionTest.moc"
