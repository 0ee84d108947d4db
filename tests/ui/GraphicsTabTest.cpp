// The bitmap half of the Graphics tab drawn from the catalog and wired to its commands, and
// the Image Editor's view over its model.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "UiHarness.h"
#include "graphics/GraphicsState.h"
#include "ui/Brivant.h"
#include "ui/TImagEditView.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

class GraphicsTabTest : public QObject {
    Q_OBJECT
  private slots:
    void bitmapsListedPreviewedAndChanged() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("x.fls"), 1);  // no animations to show frames
        QSignalSpy ran(&w, &TMain::commandRan);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(1);
        GraphicsState& g = w.editor().graphics;
        auto* ids = Find<QComboBox>(w, "bmpId");
        auto* preview = Find<QLabel>(w, "preview");
        QCOMPARE(ids->count(), static_cast<int>(g.bitmaps.size()));
        QCOMPARE(ids->itemText(10), QStringLiteral("00A"));
        QCOMPARE(ids->currentIndex(), 0);
        QCOMPARE(Find<QLabel>(w, "bmpWidth")->text(), QStringLiteral("Width: 84"));
        QCOMPARE(Find<QLabel>(w, "bmpHeight")->text(), QStringLiteral("Height: 48"));
        // A whole screen fits the preview's fixed box at twice its size.
        QCOMPARE(preview->pixmap().size(), QSize(2 * 84, 2 * 48));
        QVERIFY(preview->pixmap().width() <= preview->width());

        ran.clear();
        ids->setCurrentIndex(4);
        QCOMPARE(Names(ran), QStringList{"bitmapChosen"});
        QCOMPARE(g.current, 4);
        QCOMPARE(preview->pixmap().size(), QSize(3 * 24, 3 * 16));

        const Bytes shown = g.pixels;
        ui.saveAnswers.push_back(dir.Path("four.bmp"));
        Find<QAction>(w, "bitmapSave")->trigger();
        QVERIFY(QFile::exists(QString::fromStdString(dir.Path("four.bmp"))));

        ui.dialogs.On<TImagEdit>() = [](TImagEdit& m) {
            m.Invert();
            m.Ok();
            return true;
        };
        Find<QAction>(w, "bitmapEdit")->trigger();
        QCOMPARE(g.pixels[0], static_cast<std::uint8_t>(~shown[0]));
        QVERIFY(w.editor().MainHex.Modified());

        ui.openAnswers.push_back(dir.Path("four.bmp"));
        Find<QAction>(w, "bitmapLoad")->trigger();
        QCOMPARE(g.pixels, shown);
        QVERIFY(ui.told.empty());
    }

    void imageEditorViewDrivesItsModel() {
        TImagEdit m;
        m.Prepare(3, 8, HexToBytes("000000"));
        m.accepted = false;
        TImagEditView v(m);
        v.show();
        QCOMPARE(v.windowTitle(), QStringLiteral("Image Editor"));
        QTest::mouseClick(v.zoomView(), Qt::LeftButton, {}, v.zoomView()->origin() + QPoint(6, 1));
        QCOMPARE(BytesToHex(m.ByteText()), std::string("000100"));
        QVERIFY(m.accepted);

        v.widthControl()->setValue(2);
        QCOMPARE(m.Width(), 2);
        QCOMPARE(Find<QLineEdit>(v, "width")->text(), QStringLiteral("2"));
        Click(v, "invert");
        QCOMPARE(BytesToHex(m.ByteText()), std::string("FFFE"));
        Click(v, "cancel");
        QVERIFY(!m.accepted);
        QVERIFY(!v.isVisible());
    }

    // Enter is OK wherever the focus stands: it never clears the picture.
    void enterInTheImageEditorPressesOk() {
        TImagEdit m;
        m.Prepare(2, 8, HexToBytes("0F0F"));
        m.accepted = false;
        TImagEditView v(m);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        Find<QPushButton>(v, "clear")->setFocus();
        QTest::keyClick(&v, Qt::Key_Return);
        QCOMPARE(BytesToHex(m.ByteText()), std::string("0F0F"));
        QVERIFY(m.accepted);
        QVERIFY(!v.isVisible());
    }
};

}  // namespace

UI_TEST(GraphicsTabTest);
#include "GraphicsTabTest.moc"
