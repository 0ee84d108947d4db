// The animation half of the Graphics tab: enabled only with animations, a frame shows its
// bitmap, "Animate" plays on its timer, the up-down changes the count.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include "UiHarness.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

class AniControlsTest : public QObject {
    Q_OBJECT
  private slots:
    void disabledWithoutAnimations() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("x.fls"), 1);  // 51XX
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(1);
        for (const char* name : {"aniId", "frame", "frameBmpId"})
            QVERIFY(!Find<QComboBox>(w, name)->isEnabled());
        QVERIFY(!Find<QSpinBox>(w, "lengthUpDown")->isEnabled());
        QVERIFY(!Find<QCheckBox>(w, "animate")->isEnabled());
    }

    void framesShownPlayedAndCounted() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("x.fls"), 4);  // 3310: bitmap ID = frame value
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(1);
        Editor& ed = w.editor();
        auto* aniId = Find<QComboBox>(w, "aniId");
        auto* frame = Find<QComboBox>(w, "frame");
        auto* frameBmp = Find<QComboBox>(w, "frameBmpId");
        auto* animate = Find<QCheckBox>(w, "animate");
        auto* timer = w.findChild<QTimer*>("animationTimer");
        QVERIFY(timer);
        QVERIFY(aniId->isEnabled());
        QCOMPARE(aniId->count(), 4);
        QCOMPARE(frame->count(), 9);
        QCOMPARE(Find<QLineEdit>(w, "aniLength")->text(), QStringLiteral("9"));

        QSignalSpy ran(&w, &TMain::commandRan);
        frame->setCurrentIndex(4);  // value 0005
        QCOMPARE(Names(ran), QStringList{"frameChanged"});
        QCOMPARE(ed.graphics.current, 5);
        QCOMPARE(frameBmp->currentIndex(), 5);

        animate->setChecked(true);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 300);
        for (int i = 0; i < 5; ++i) QMetaObject::invokeMethod(timer, "timeout");
        QCOMPARE(frame->currentIndex(), 0);  // 5, 6, 7, 8, then back to 0
        QCOMPARE(ed.graphics.current, 1);
        QVERIFY(!ed.MainHex.HasUnsavedChanges());
        animate->setChecked(false);
        QVERIFY(!timer->isActive());

        aniId->setCurrentIndex(1);
        Find<QSpinBox>(w, "lengthUpDown")->stepBy(1);
        QCOMPARE(Find<QLineEdit>(w, "aniLength")->text(), QStringLiteral("4"));
        QCOMPARE(frame->count(), 4);
        QCOMPARE(frame->currentIndex(), 3);
        QCOMPARE(ed.ani.catalog[1].lengthByte, 8);

        animate->setChecked(true);
        // The lengthened animation is not saved: opening another file asks first.
        ui.saveChangesAnswers.push_back(SaveChoice::Discard);
        OpenSample(w, dir.Path("y.fls"), 4);
        QCOMPARE(ui.saveChangesAsked.size(), std::size_t{1});
        QVERIFY(!timer->isActive());
        QVERIFY(!animate->isChecked());
    }
};

}  // namespace

UI_TEST(AniControlsTest);
#include "AniControlsTest.moc"
