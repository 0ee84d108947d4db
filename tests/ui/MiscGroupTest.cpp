// The "Miscellaneous" group runs the code patches of its entry, and their two dialogs keep
// what the user confirmed.

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "UiHarness.h"
#include "patches/InvertLCD.h"
#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"
#include "ui/Brivant.h"
#include "ui/TFadeLedsView.h"
#include "ui/TInvertFrmView.h"

using namespace brivant;
using namespace brivant::uitest;

class MiscGroupTest : public QObject {
    Q_OBJECT

  private slots:
    void doItRunsTheChosenPatch() {
        ScriptUi ui;
        TMain w(ui);
        w.show();
        QSignalSpy ran(&w, &TMain::commandRan);
        auto* misc = Find<QComboBox>(w, "misc");
        QCOMPARE(Items(misc), (QStringList{"Fading Leds", "Inverted LCD"}));
        // Without an image the button is not offered.
        QVERIFY(!Find<QPushButton>(w, "miscDoIt")->isEnabled());
        Click(w, "miscDoIt");
        QVERIFY(ui.told.empty());
        QCOMPARE(ui.dialogs.Shown<TFadeLeds>(), 0);

        TempDir dir;
        const SampleImage s = OpenSample(w, dir.Path("a.fls"), 2);
        ui.dialogs.On<TFadeLeds>() = [](TFadeLeds& m) { return !m.PressOk().has_value(); };
        Click(w, "miscDoIt");
        QCOMPARE(w.editor().FreeOffset, s.layout.freeOffset + 184);

        misc->setCurrentIndex(1);
        QCOMPARE(w.editor().patches.miscEntry, 1);
        ui.dialogs.On<TInvertFrm>() = [](TInvertFrm& m) {
            m.choice = TInvertFrm::kBlinkingMode;
            m.PressOk();
            return true;
        };
        Click(w, "miscDoIt");
        QCOMPARE(ui.Last(), std::string(kBlinkDone));
        QCOMPARE(Names(ran).count(QStringLiteral("misc")), 2);
    }

    void dialogsKeepWhatWasConfirmed() {
        TFadeLeds fade;
        fade.Open();
        WhenModal([](QWidget* d) {
            auto* in = Find<QLineEdit>(*d, "fadeIn");
            in->selectAll();
            QTest::keyClicks(in, QStringLiteral("0a0b"));
            Click(*d, "ok");
        });
        QVERIFY(ShowFadeLedsDialog(nullptr, fade));
        QCOMPARE(fade.FadeIn(), std::string("0a0b"));
        fade.Open();
        WhenModal([](QWidget* d) {
            QCOMPARE(Find<QLineEdit>(*d, "fadeIn")->text(), QStringLiteral("0a0b"));
            Click(*d, "cancel");
        });
        QVERIFY(!ShowFadeLedsDialog(nullptr, fade));
        QVERIFY(fade.Cancel);

        TInvertFrm invert;
        invert.Open();
        WhenModal([](QWidget* d) {
            Find<QRadioButton>(*d, "blinking")->click();
            Click(*d, "ok");
        });
        QVERIFY(ShowInvertDialog(nullptr, invert));
        QCOMPARE(invert.Mode(), TInvertFrm::kBlinkingMode);
        invert.Open();
        WhenModal([](QWidget* d) {
            QVERIFY(Find<QRadioButton>(*d, "blinking")->isChecked());
            Find<QRadioButton>(*d, "nonBlinking")->click();
            Click(*d, "cancel");
        });
        QVERIFY(!ShowInvertDialog(nullptr, invert));
        QCOMPARE(invert.Mode(), TInvertFrm::kBlinkingMode);
    }
};

UI_TEST(MiscGroupTest);
#include "MiscGroupTest.moc"
