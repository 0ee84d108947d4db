// The Tones tab and the "Alert Tones" group on real images: the keys and context entries
// reach the ringtone commands, "&Do It" asks the Options dialog and writes into the MCU, and
// models without a calendar tone refuse it before asking anything.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "UiHarness.h"
#include "core/HexText.h"
#include "core/Stream.h"
#include "ppm/PpmCopy.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "tones/ToptionFrm.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

// A common-layout tone record: name length, name, the 00 00 02 mark, then the tone body.
Bytes ToneFile(std::uint32_t id, const std::string& name, const std::string& bodyHex) {
    Bytes r(8, 0);
    PutBE32(&r[0], id);
    for (char c : std::string("TONE")) r.push_back(static_cast<std::uint8_t>(c));
    r.insert(r.end(), 4, 0);
    r.push_back(static_cast<std::uint8_t>(name.size()));
    r.insert(r.end(), name.begin(), name.end());
    const Bytes rest = HexToBytes("000002FC09" + bodyHex + "070B");
    r.insert(r.end(), rest.begin(), rest.end());
    while (r.size() % 4) r.push_back(0xFF);
    PutBE32(&r[4], static_cast<std::uint32_t>(r.size()));
    return r;
}

}  // namespace

class TonesTabTest : public QObject {
    Q_OBJECT

  private slots:
    void enterChangesTheSelectedRingtoneInPlace() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("a.fls"), 4);
        Editor& ed = w.editor();
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const QStringList before = Rows(tones);
        QVERIFY(before.size() >= 6);
        const std::string pieceBefore = ed.ppm[Piece::TONE];

        SelectRow(tones, 5);
        // A cancelled file dialog leaves list, chunk and change mark alone.
        QTest::keyClick(tones, Qt::Key_Return);
        QCOMPARE(ui.openAsked.size(), std::size_t{1});
        QCOMPARE(ui.openAsked[0].title, std::string(kToneOpenTitle));
        QCOMPARE(ui.openAsked[0].filter, std::string(kToneOpenFilter));
        QCOMPARE(Rows(tones), before);
        QCOMPARE(ed.ppm[Piece::TONE], pieceBefore);
        QVERIFY(!ed.PpmChanged);

        const Bytes tone = ToneFile(0x63, "Neon", "0A01112233445566778899AABBCC");
        const std::string path = dir.Path("neon.re");
        WriteFile(path, tone);
        ui.openAnswers.push_back(path);
        QTest::keyClick(tones, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());

        QStringList expected = before;
        expected[5] = QStringLiteral("Neon|00000063|%1")
                          .arg(QString::fromStdString(IntToHex(tone.size(), 8)));
        QCOMPARE(Rows(tones), expected);
        const std::string piece = ed.ppm[Piece::TONE];
        QVERIFY(Has(piece, BytesToHex(tone)));
        QVERIFY(Sealed(piece));
        QVERIFY(ed.PpmChanged);
        // The user keeps working on the row just changed.
        QCOMPARE(SelectedRow(tones), 5);
        QCOMPARE(Find<QLabel>(w, "toneCount")->text(),
                 QStringLiteral("Ringtones Count: %1").arg(before.size()));
    }

    void the62xxLayoutOffersNoAddOrDeleteAndTheKeyIsRefused() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("b.fls"), 18);
        Editor& ed = w.editor();
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const QStringList before = Rows(tones);
        QCOMPARE(before.size(), 98);

        QMenu* m = ContextMenu(tones);
        QVERIFY(m);
        QVERIFY(!MenuEntry(m, "&Add")->isEnabled());
        QVERIFY(!MenuEntry(m, "&Delete")->isEnabled());
        QVERIFY(MenuEntry(m, "&Change")->isEnabled());
        QVERIFY(MenuEntry(m, "&Retrieve")->isEnabled());
        m->hide();

        // The key reaches the command, which keeps the rows the alert tones sit at and says
        // why.
        SelectRow(tones, 3);
        QTest::keyClick(tones, Qt::Key_Delete);
        QCOMPARE(ui.Last(), std::string(kNoDelete62xx));
        QCOMPARE(Rows(tones), before);
        QCOMPARE(Find<QLabel>(w, "toneCount")->text(), QStringLiteral("Ringtones Count: 98"));
        QVERIFY(Sealed(ed.ppm[Piece::TONE]));
        QVERIFY(!ed.PpmChanged);

        // Another type chosen for the same image: the menu follows without the list having
        // to lose and regain the focus.
        Find<QComboBox>(w, "phoneType")->setCurrentIndex(4);
        QCOMPARE(ed.PhoneTypeText(), std::string("3310"));
        m = ContextMenu(tones);
        QVERIFY(m);
        QVERIFY(MenuEntry(m, "&Add")->isEnabled());
        QVERIFY(MenuEntry(m, "&Delete")->isEnabled());
        m->hide();
        Find<QComboBox>(w, "phoneType")->setCurrentIndex(18);
        m = ContextMenu(tones);
        QVERIFY(m);
        QVERIFY(!MenuEntry(m, "&Add")->isEnabled());
        QVERIFY(!MenuEntry(m, "&Delete")->isEnabled());
        m->hide();
    }

    void doItChangeWritesTheToneWithTheOptionsPrefix() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        OpenSample(w, dir.Path("c.fls"), 4);
        Editor& ed = w.editor();
        auto* mcuFree = Find<QLineEdit>(w, "mcuFree");
        auto* doIt = Find<QPushButton>(w, "alertDoIt");
        Find<QComboBox>(w, "alertTone")->setCurrentIndex(kStandard);
        QVERIFY(Find<QRadioButton>(w, "alertChange")->isChecked());

        // 0A01 and seven notes: 9 bytes of body.
        const std::string body = "0A0111223344556677";
        const std::string path = dir.Path("tone.re");
        WriteFile(path, ToneFile(1, "Beat", body));
        const Bytes imageBefore = ed.MainHex.Data();
        const std::int32_t o = ed.FreeOffset;
        const QString freeBefore = mcuFree->text();
        QVERIFY(o > 0);

        // The first time, the dialog cannot be left without a repeat count: closing it
        // any other way writes nothing.
        ui.openAnswers.push_back(path);
        QTest::mouseClick(doIt, Qt::LeftButton);
        QCOMPARE(ui.dialogs.Shown<ToptionFrm>(), 1);
        QVERIFY(ed.MainHex.Data() == imageBefore);
        QCOMPARE(ed.FreeOffset, o);

        ui.dialogs.On<ToptionFrm>() = [](ToptionFrm& m) {
            m.count = "5";
            m.ascending = true;
            return !m.PressOk();
        };
        ui.openAnswers.push_back(path);
        QTest::mouseClick(doIt, Qt::LeftButton);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(ui.dialogs.Shown<ToptionFrm>(), 2);
        // Ascending prefix with the count 05, the body, 06 0B, and C0 up to whole words.
        const std::string sequence = "0002FD090A800505" + body + "060BC0";
        QCOMPARE(BytesToHex(ed.MainHex.ReadAt(o, 20)), sequence);
        QCOMPARE(ed.FreeOffset, o + 20);
        const std::int32_t entry = LocateAlertEntry(ed, kStandard);
        QCOMPARE(GetBE32(ed.MainHex.ReadAt(entry, 4).data()),
                 static_cast<std::uint32_t>(o) + kPhoneBase);
        QVERIFY(mcuFree->text() != freeBefore);
        QCOMPARE(mcuFree->text(), QString::fromStdString(ed.mcuFreeField));
        QVERIFY(ed.MainHex.HasUnsavedChanges());
        QVERIFY(!ed.PpmChanged);  // the MCU is written directly, not through the PPM copy

        // Cancelled later on, the dialog leaves the alert tone as it was.
        ui.dialogs.On<ToptionFrm>() = [](ToptionFrm& m) {
            m.count = "9";
            return false;
        };
        ui.openAnswers.push_back(path);
        const Bytes before = ed.MainHex.Data();
        QTest::mouseClick(doIt, Qt::LeftButton);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(ed.MainHex.Data(), before);
        QCOMPARE(ed.FreeOffset, o + 20);
        QCOMPARE(GetBE32(ed.MainHex.ReadAt(entry, 4).data()),
                 static_cast<std::uint32_t>(o) + kPhoneBase);

        // Retrieve reads back what the entry now points at.
        Find<QRadioButton>(w, "alertRetrieve")->click();
        const std::string out = dir.Path("standard.re");
        ui.saveAnswers.push_back(out);
        QTest::mouseClick(doIt, Qt::LeftButton);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(ui.saveAsked.back().title, std::string(kToneSaveTitle));
        const Bytes file = ReadFile(out);
        QVERIFY(file.size() >= 16 && file.size() % 4 == 0);
        QCOMPARE(GetBE32(&file[4]), static_cast<std::uint32_t>(file.size()));
        QCOMPARE(std::string(file.begin() + 8, file.begin() + 12), std::string("STND"));
        // The tone as it was loaded: the 06 the writer put before the closing 0B stays out.
        QVERIFY(Has(BytesToHex(file), "0002FC090A800505" + body + "070B"));
        QCOMPARE(ed.FreeOffset, o + 20);
    }

    void the62xxAlertChangeConvertsIntoItsRingtoneRow() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("d.fls"), 18);
        Editor& ed = w.editor();
        auto* tones = Find<QTreeWidget>(w, "tonesList");
        const QStringList before = Rows(tones);
        QCOMPARE(before.size(), 98);
        const int row = AlertRow62xx(kStandard, 98);
        Find<QTabWidget>(w, "tabs")->setCurrentIndex(static_cast<int>(Tab::Operators));

        // A tone in the common layout, as the other models store it.
        const std::string path = dir.Path("common.re");
        WriteFile(path, HexToBytes("0000000500000020545354310000000002414200"
                                   "0002FC090A01AABB070BFFFF"));
        ui.openAnswers.push_back(path);
        Find<QComboBox>(w, "alertTone")->setCurrentIndex(kStandard);
        QTest::mouseClick(Find<QPushButton>(w, "alertDoIt"), Qt::LeftButton);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        QCOMPARE(ui.dialogs.Shown<ToptionFrm>(), 0);  // the ringtone keeps its own repeat prefix
        QCOMPARE(Find<QTabWidget>(w, "tabs")->currentIndex(), 0);
        QCOMPARE(SelectedRow(tones), row);

        // The record keeps the row's ID and its old header, in the two-byte layout.
        const std::string id = IntToHex(static_cast<std::uint32_t>(row + 1), 8);
        const std::string record = id + "0000002C" + "53544E440000000002" + "0300410042" +
                                   "00000002FD0A800502" + "0A01AABB" + "060A7F0A0E0B" + "FFFFFF";
        QVERIFY(Has(ed.ppm[Piece::TONE], record));
        QVERIFY(Sealed(ed.ppm[Piece::TONE]));
        QVERIFY(ed.PpmChanged);
        QStringList expected = before;
        expected[row] = QStringLiteral("AB|%1|0000002C").arg(QString::fromStdString(id));
        QCOMPARE(Rows(tones), expected);
    }

    void calendarIsRefusedByModelsWithoutIt() {
        TempDir dir;
        for (const int family : {1, 3}) {
            for (const bool change : {true, false}) {
                ScriptUi ui;
                TMain w(ui);
                OpenSample(w, dir.Path("m" + std::to_string(family) + ".fls"), family);
                Find<QComboBox>(w, "alertTone")->setCurrentIndex(kCalendar);
                Find<QRadioButton>(w, change ? "alertChange" : "alertRetrieve")->click();
                ui.openAnswers.push_back(dir.Path("unused.re"));
                ui.saveAnswers.push_back(dir.Path("unused.re"));
                QTest::mouseClick(Find<QPushButton>(w, "alertDoIt"), Qt::LeftButton);
                QCOMPARE(ui.Messages(), std::vector<std::string>{kCalendarUnsupported});
                QCOMPARE(ui.LastKind(), MessageKind::Error);
                QVERIFY(ui.openAsked.empty() && ui.saveAsked.empty());
                QCOMPARE(ui.dialogs.Shown<ToptionFrm>(), 0);
                QVERIFY(!w.editor().MainHex.HasUnsavedChanges());
            }
        }

        // A model with a calendar tone goes on to ask for the file.
        ScriptUi ui;
        TMain w(ui);
        OpenSample(w, dir.Path("m2.fls"), 2);
        Find<QComboBox>(w, "alertTone")->setCurrentIndex(kCalendar);
        QTest::mouseClick(Find<QPushButton>(w, "alertDoIt"), Qt::LeftButton);
        QVERIFY(ui.told.empty());
        QCOMPARE(ui.openAsked.size(), std::size_t{1});
        Find<QRadioButton>(w, "alertRetrieve")->click();
        const std::string out = dir.Path("calendar.re");
        ui.saveAnswers.push_back(out);
        QTest::mouseClick(Find<QPushButton>(w, "alertDoIt"), Qt::LeftButton);
        QVERIFY2(ui.told.empty(), ui.Last().c_str());
        const Bytes file = ReadFile(out);
        QVERIFY(file.size() >= 12);
        QCOMPARE(std::string(file.begin() + 8, file.begin() + 12), std::string("CALE"));
    }
};

UI_TEST(TonesTabTest);
#include "TonesTabTest.moc"
