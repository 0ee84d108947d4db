// The main window over the core: its start state, opening (dialog, command line), the
// phone-type choice and the tab rules.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "image/PhoneTypes.h"
#include "menu/MenuTab.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startStateOfEveryGroup() {
        ScriptUi ui;
        TMain w(ui);
        QCOMPARE(w.windowTitle(), QStringLiteral("Brivant Pro v1.03 by Tamrek"));
        QCOMPARE(w.size(), QSize(543, 345));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);

        QCOMPARE(Find<QLineEdit>(w, "fileName")->text(), QString());
        QVERIFY(Find<QLineEdit>(w, "fileName")->isReadOnly());
        auto* type = Find<QComboBox>(w, "phoneType");
        QVERIFY(!type->isEnabled());
        QCOMPARE(type->count(), 19);
        QCOMPARE(type->currentIndex(), 0);
        QCOMPARE(type->itemText(0), QString());
        QCOMPARE(type->itemText(1), QStringLiteral("51XX"));
        QCOMPARE(type->itemText(18), QStringLiteral("62XX/7110"));
        QCOMPARE(Find<QPushButton>(w, "aboutButton")->text(), QStringLiteral("&About"));

        auto* tone = Find<QComboBox>(w, "alertTone");
        QCOMPARE(Items(tone),
                 (QStringList{"Standard", "Special", "Beep Once", "Ascending", "Start/Shut Tone",
                              "Alarm Clock", "Calendar", "System Error"}));
        QCOMPARE(tone->currentIndex(), 0);
        QVERIFY(Find<QRadioButton>(w, "alertChange")->isChecked());
        QCOMPARE(Find<QRadioButton>(w, "alertRetrieve")->text(), QStringLiteral("Retrieve"));
        QCOMPARE(Find<QPushButton>(w, "alertDoIt")->text(), QStringLiteral("&Do It"));

        const QStringList security = {"&Whole Messages Menu", "&Inbox", "Outbo&x", "Manua&l"};
        for (int i = 0; i < 4; ++i) {
            auto* r = Find<QRadioButton>(w, qPrintable(QStringLiteral("securityOption%1").arg(i)));
            QCOMPARE(r->text(), security[i]);
            QCOMPARE(r->isChecked(), i == 0);
        }
        for (const char* f : {"securityOffset0", "securityOffset1"}) {
            QVERIFY(!Find<QLineEdit>(w, f)->isEnabled());
            QVERIFY(Find<QLineEdit>(w, f)->isReadOnly());
        }
        QVERIFY(!Find<QToolButton>(w, "securityBrowse0")->isEnabled());
        QVERIFY(!Find<QToolButton>(w, "securityBrowse1")->isEnabled());
        QCOMPARE(Find<QPushButton>(w, "patchButton")->text(), QStringLiteral("&Patch Now!!!"));
        // Nothing to patch before an image is open.
        QVERIFY(!Find<QPushButton>(w, "patchButton")->isEnabled());

        QVERIFY(Find<QRadioButton>(w, "adjustMcu")->isChecked());
        QVERIFY(!Find<QRadioButton>(w, "adjustPpm")->isChecked());
        QCOMPARE(Find<QLineEdit>(w, "mcuFree")->text(), QString());
        QCOMPARE(Find<QLineEdit>(w, "ppmFree")->text(), QString());
        QCOMPARE(Find<QPushButton>(w, "adjustButton")->text(), QStringLiteral("Ad&just"));

        auto* misc = Find<QComboBox>(w, "misc");
        QCOMPARE(Items(misc), (QStringList{"Fading Leds", "Inverted LCD"}));
        QCOMPARE(misc->currentIndex(), 0);
        QCOMPARE(Find<QPushButton>(w, "miscDoIt")->text(), QStringLiteral("Do I&t"));
    }

    void startStateOfTheNotebook() {
        ScriptUi ui;
        TMain w(ui);
        auto* tabs = Find<QTabWidget>(w, "tabs");
        QCOMPARE(tabs->count(), 5);
        const QStringList names = {"Tones", "Graphics", "Menu", "Languages", "Operators"};
        for (int i = 0; i < 5; ++i) QCOMPARE(tabs->tabText(i), names[i]);
        QCOMPARE(tabs->currentIndex(), 0);

        struct Expect {
            const char* list;
            QStringList headers;
            std::vector<int> widths;
            const char* count;
            QString countText;
        };
        const Expect lists[] = {
            {"tonesList",
             {"RingTone", "ID", "Length"},
             {100, 80, 80},
             "toneCount",
             "Ringtones Count: 0"},
            {"menuList",
             {"Menu Item", "Text Ptr", "Function Ptr"},
             {100, 80, 79},
             "menuCount",
             "Menu Count: 0"},
            {"languagesList",
             {"Language", "ID", "Length"},
             {100, 80, 80},
             "languageCount",
             "Languages Count:0"},
            {"operatorsList",
             {"Countries", "Code", "#Operators"},
             {100, 80, 80},
             "countryCount",
             "Countries Count: 0"},
        };
        for (const auto& e : lists) {
            auto* t = Find<QTreeWidget>(w, e.list);
            QCOMPARE(Headers(t), e.headers);
            for (std::size_t i = 0; i < e.widths.size(); ++i)
                QCOMPARE(t->columnWidth(static_cast<int>(i)), e.widths[i]);
            QCOMPARE(t->selectionMode(), QAbstractItemView::SingleSelection);
            QCOMPARE(t->topLevelItemCount(), 0);
            QCOMPARE(t->contextMenuPolicy(), Qt::NoContextMenu);
            QCOMPARE(Find<QLabel>(w, e.count)->text(), e.countText);
        }
        QVERIFY(!Find<QToolButton>(w, "menuBack")->isEnabled());
        QCOMPARE(Find<QToolButton>(w, "graphicsCommands")->text(), QStringLiteral("&Commands"));
        QCOMPARE(Find<QCheckBox>(w, "animate")->text(), QStringLiteral("Animate"));
        QVERIFY(!Find<QCheckBox>(w, "animate")->isChecked());
        auto* timer = w.findChild<QTimer*>("animationTimer");
        QVERIFY(timer);
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->interval(), 300);
    }

    void openDetectsTheTypeAndShowsTheTonesTab() {
        TempDir dir;
        const std::string path = dir.Path("a.fls");
        SampleOptions o;
        o.family = 4;
        WriteSample(path, o);
        ScriptUi ui;
        TMain w(ui);
        ui.openAnswers.push_back(path);
        QTest::mouseClick(Find<QToolButton>(w, "openButton"), Qt::LeftButton);

        QCOMPARE(ui.openAsked.size(), std::size_t{1});
        const FileDialog& d = ui.openAsked[0];
        QCOMPARE(d.title, std::string("Open Flash Files..."));
        QCOMPARE(d.filter, std::string("Flash Files (*.fls)|*.fls"));
        QCOMPARE(d.defaultExt, std::string("fls"));
        QVERIFY(d.mustExist);
        QVERIFY(ui.told.empty());

        auto* type = Find<QComboBox>(w, "phoneType");
        QVERIFY(!type->isEnabled());
        QCOMPARE(type->currentText(), QStringLiteral("3310"));
        QCOMPARE(Find<QLineEdit>(w, "fileName")->text(), QString::fromStdString(path));
        const QString mcu = Find<QLineEdit>(w, "mcuFree")->text();
        const QString ppm = Find<QLineEdit>(w, "ppmFree")->text();
        QVERIFY(mcu.toInt() > 0);
        QVERIFY(ppm.toInt() > 0);
        QCOMPARE(mcu.toStdString(), w.editor().mcuFreeField);
        QCOMPARE(ppm.toStdString(), w.editor().ppmFreeField);
        QCOMPARE(Find<QTabWidget>(w, "tabs")->currentIndex(), 0);

        // Opening again from another tab comes back to Tones.
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(3);
        QCOMPARE(w.editor().activeTab, Tab::Languages);
        ui.openAnswers.push_back(path);
        QTest::mouseClick(Find<QToolButton>(w, "openButton"), Qt::LeftButton);
        QCOMPARE(Find<QTabWidget>(w, "tabs")->currentIndex(), 0);
        QCOMPARE(w.editor().activeTab, Tab::Tones);
    }

    void cancelledOpenChangesNothing() {
        ScriptUi ui;
        TMain w(ui);
        ui.openAnswers.push_back(std::nullopt);
        QTest::mouseClick(Find<QToolButton>(w, "openButton"), Qt::LeftButton);
        QCOMPARE(ui.openAsked.size(), std::size_t{1});
        QVERIFY(ui.told.empty());
        QCOMPARE(Find<QLineEdit>(w, "fileName")->text(), QString());
        QVERIFY(!Find<QComboBox>(w, "phoneType")->isEnabled());
    }

    void detectionDistinguishesContainedDesignations() {
        // NSM-3D also contains NSM-3: the later row wins.
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        for (const auto& [designation, text] :
             std::vector<std::pair<int, QString>>{{14, "8250"}, {13, "8210"}, {22, "62XX/7110"}}) {
            SampleOptions o;
            o.family = PhoneTypeIndex(text.toStdString());
            o.designation = designation;
            const std::string path = dir.Path(std::to_string(designation) + ".fls");
            WriteSample(path, o);
            w.openPath(QString::fromStdString(path));
            QCOMPARE(Find<QComboBox>(w, "phoneType")->currentText(), text);
        }
        // A detected 62XX/7110 image has no security patch.
        QVERIFY(!Find<QPushButton>(w, "patchButton")->isEnabled());
    }

    void undetectedImageLetsTheUserChoose() {
        TempDir dir;
        const std::string path = dir.Path("u.fls");
        SampleOptions o;
        o.family = 18;
        o.designation = kNoDesignation;
        WriteSample(path, o);
        ScriptUi ui;
        TMain w(ui);
        w.openPath(QString::fromStdString(path));

        auto* type = Find<QComboBox>(w, "phoneType");
        QVERIFY(type->isEnabled());
        QCOMPARE(type->currentIndex(), 0);
        QCOMPARE(type->itemText(0), QStringLiteral("Select Here"));
        QCOMPARE(type->count(), 19);
        QCOMPARE(Find<QLineEdit>(w, "mcuFree")->text(), QString());
        auto* patch = Find<QPushButton>(w, "patchButton");
        // Without a type the groups wait for one instead of answering every button.
        QVERIFY(!patch->isEnabled());
        QVERIFY(!Find<QWidget>(w, "securityGroup")->isEnabled());
        QCOMPARE(Find<QWidget>(w, "securityGroup")->parentWidget()->toolTip(),
                 QStringLiteral("Choose the phone type first"));

        type->setCurrentIndex(18);
        QCOMPARE(w.editor().PhoneType(), 18);
        QVERIFY(!patch->isEnabled());
        QVERIFY(!w.editor().tones.ringtoneAddEnabled);
        QVERIFY(!Find<QLineEdit>(w, "mcuFree")->text().isEmpty());

        type->setCurrentIndex(4);
        QCOMPARE(w.editor().PhoneType(), 4);
        QVERIFY(patch->isEnabled());
        QVERIFY(w.editor().tones.ringtoneAddEnabled);
        QVERIFY(type->isEnabled());
        QVERIFY(ui.told.empty());

        // Opening the next image puts the patch button back and locks the list again.
        type->setCurrentIndex(18);
        QVERIFY(!patch->isEnabled());
        SampleOptions d;
        const std::string known = dir.Path("k.fls");
        WriteSample(known, d);
        w.openPath(QString::fromStdString(known));
        QVERIFY(patch->isEnabled());
        QVERIFY(!type->isEnabled());
        QCOMPARE(type->itemText(0), QString());
    }

    void choosingATypeWithoutAnImage() {
        ScriptUi ui;
        TMain w(ui);
        auto* type = Find<QComboBox>(w, "phoneType");
        type->setCurrentIndex(4);
        QCOMPARE(ui.Messages(), std::vector<std::string>{"Please open flash file first"});
        QCOMPARE(type->currentIndex(), 0);
        QCOMPARE(w.editor().PhoneType(), 0);
    }

    void failuresBecomeErrorBoxes() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        // A missing file: the image and the field stay empty.
        const std::string missing = dir.Path("missing.fls");
        w.openPath(QString::fromStdString(missing));
        QCOMPARE(ui.told.size(), std::size_t{1});
        QCOMPARE(ui.LastKind(), MessageKind::Error);
        QVERIFY(ui.Last().rfind("Cannot open ", 0) == 0);
        QCOMPARE(Find<QLineEdit>(w, "fileName")->text(), QString());
        QVERIFY(w.editor().MainHex.Empty());

        // A file without the PPM marker is not taken: no type, the list stays locked.
        const std::string blank = dir.Path("blank.fls");
        WriteFile(blank, Bytes(4096, 0x00));
        w.openPath(QString::fromStdString(blank));
        QCOMPARE(ui.Last(), blank +
                                " is not a flash image this editor can read: it has no PPM "
                                "area (no PPM marker)");
        QCOMPARE(ui.LastKind(), MessageKind::Error);
        auto* type = Find<QComboBox>(w, "phoneType");
        QVERIFY(!type->isEnabled());
        QCOMPARE(type->currentIndex(), 0);
        QCOMPARE(type->itemText(0), QString());
        QVERIFY(w.editor().MainHex.Empty());
    }

    void tabChangesFollowTheTypeRules() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        auto* tabs = Find<QTabWidget>(w, "tabs");
        // No image: switching tabs says nothing.
        for (int i : {1, 2, 3, 4, 0}) tabs->setCurrentIndex(i);
        QVERIFY(ui.told.empty());

        const std::string path = dir.Path("u.fls");
        SampleOptions o;
        o.family = 18;
        o.designation = kNoDesignation;
        WriteSample(path, o);
        w.openPath(QString::fromStdString(path));
        tabs->setCurrentIndex(3);
        QCOMPARE(ui.Messages(), std::vector<std::string>{"Please choose correct phone model"});
        QCOMPARE(ui.LastKind(), MessageKind::Error);
        QCOMPARE(tabs->currentIndex(), 3);
        // Every tab says so while no type is chosen, Tones included.
        tabs->setCurrentIndex(0);
        QCOMPARE(ui.told.size(), std::size_t{2});

        // The image is laid out as a 62XX/7110 one, so choosing that type reads it cleanly.
        ui.told.clear();
        Find<QComboBox>(w, "phoneType")->setCurrentIndex(18);
        QVERIFY(ui.told.empty());
        tabs->setCurrentIndex(2);
        tabs->setCurrentIndex(0);
        tabs->setCurrentIndex(2);
        QCOMPARE(ui.Messages(), (std::vector<std::string>{kMenuUnsupported, kMenuUnsupported}));

        ui.told.clear();
        tabs->setCurrentIndex(0);
        const std::string other = dir.Path("o.fls");
        SampleOptions p;
        p.designation = kNoDesignation;
        WriteSample(other, p);
        w.openPath(QString::fromStdString(other));
        Find<QComboBox>(w, "phoneType")->setCurrentIndex(4);
        for (int i : {1, 2, 3, 4, 0}) tabs->setCurrentIndex(i);
        QVERIFY(ui.told.empty());
    }
};

UI_TEST(MainWindowTest);
#include "MainWindowTest.moc"
