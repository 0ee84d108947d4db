// Pictures written by the window are the bytes the command line writes for the same
// request: a bitmap's export and the animation controls' "Export…".

#include <QAction>
#include <QComboBox>
#include <QTabWidget>
#include <QtTest>
#include <cstdlib>

#include "UiHarness.h"
#include "support/CliProgram.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

class PictureExportsTest : public QObject {
    Q_OBJECT
  private slots:
    void windowAndCommandLineWriteTheSameBytes() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        const std::string x = dir.Path("x.fls");
        OpenSample(w, x, 4);  // 3310, with animations
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(1);
        Find<QComboBox>(w, "bmpId")->setCurrentIndex(4);
        ui.saveAnswers.push_back(dir.Path("w.bmp"));
        Find<QAction>(w, "bitmapSave")->trigger();
        ui.saveAnswers.push_back(dir.Path("w.gif"));
        Find<QAction>(w, "aniExport")->trigger();
        QVERIFY(ui.told.empty());

        const std::string cli = brivant::test::NativeCliPath();
        const std::string bmp = cli + " bmp export '" + x + "' 004 '" + dir.Path("c.bmp") + "'";
        const std::string gif = cli + " ani export '" + x + "' 000 '" + dir.Path("c.gif") + "'";
        QCOMPARE(std::system(bmp.c_str()), 0);
        QCOMPARE(std::system(gif.c_str()), 0);
        QVERIFY(ReadFile(dir.Path("w.bmp")) == ReadFile(dir.Path("c.bmp")));
        QVERIFY(ReadFile(dir.Path("w.gif")) == ReadFile(dir.Path("c.gif")));
    }
};

}  // namespace

UI_TEST(PictureExportsTest);
#include "PictureExportsTest.moc"
