// Every dialog with a model of its own, built through the window's own mapping from a model
// made on a sample image, shown and left in each of the four ways a user leaves a dialog.
// Only "&OK" may leave an answer in the model; the layout must show every title, label
// and button whole, and Tab must reach every control.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <typeindex>

#include "UiHarness.h"
#include "app/Editor.h"
#include "app/FileFlow.h"
#include "graphics/BitmapPicture.h"
#include "graphics/TImagEdit.h"
#include "menu/MenuLevels.h"
#include "menu/MenuRecord.h"
#include "menu/TAddMenu.h"
#include "menu/TBrowseMenu.h"
#include "menu/TMenuEdit.h"
#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"
#include "texts/Languages.h"
#include "texts/OperatorRecord.h"
#include "texts/Operators.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"
#include "tones/ToptionFrm.h"
#include "ui/DialogViews.h"
#include "ui/WidgetHelpers.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

enum class Exit { Ok, Cancel, Escape, CloseBox };
const char* ExitName(Exit e) {
    switch (e) {
        case Exit::Ok:
            return "OK";
        case Exit::Cancel:
            return "Cancel";
        case Exit::Escape:
            return "Escape";
        case Exit::CloseBox:
            return "close box";
    }
    return "";
}

// A sample image with its lists read, as the window has it when a dialog opens.
struct Image {
    TempDir dir;
    Editor ed;
    ScriptUi ui;
    explicit Image(int family) {
        SampleOptions o;
        o.family = family;
        o.size = 0x100000;  // the smallest sample: many are opened
        test::OpenSample(ed, ui, dir.Path("a.fls"), o);
        TabChanged(ed, ui, Tab::Languages);
        TabChanged(ed, ui, Tab::Operators);
        TabChanged(ed, ui, Tab::Menu);
        ChooseMenuLanguage(ed, ed.menu, ed.texts, ui, 1);
    }
};

struct Case {
    const char* name;
    // A model as the command that shows the dialog makes it.
    std::function<std::shared_ptr<DialogModel>(Image&)> make;
    // What the user changes before leaving, so that a cancelled change can be seen.
    std::function<void(QWidget*)> edit;
    // Whether the model holds an answer to act on.
    std::function<bool(DialogModel&)> answered;
};

template <typename M>
M& As(DialogModel& m) {
    return static_cast<M&>(m);
}

std::vector<Case> Cases() {
    return {
        {"Options", [](Image&) { return std::make_shared<ToptionFrm>(); },
         [](QWidget* w) { Type(Find<QLineEdit>(*w, "count"), QStringLiteral("5")); },
         [](DialogModel& m) { return As<ToptionFrm>(m).HasPrefix(); }},
        {"Language Editor",
         [](Image& i) {
             auto m = std::make_shared<TLangEdit>();
             const LanguageTexts t = ReadRowTexts(i.ed, i.ed.texts, 1);
             m->Load(t.texts, t.twoByte);
             return m;
         },
         [](QWidget* w) { Type(Find<QLineEdit>(*w, "text"), QStringLiteral("Phone")); },
         [](DialogModel& m) { return !As<TLangEdit>(m).Result().empty(); }},
        {"Operators Editor",
         [](Image& i) {
             auto m = std::make_shared<TOpEdit>(
                 i.ed.texts.countries.at(0).code,
                 ParseOperators(CountryRecord(i.ed, i.ed.texts, 0, true)));
             m->Show();
             return m;
         },
         [](QWidget* w) { Type(Find<QLineEdit>(*w, "name"), QStringLiteral("Globe")); },
         [](DialogModel& m) { return As<TOpEdit>(m).Accepted(); }},
        {"Menu browser",
         [](Image& i) {
             // As the browse command prepares it: "Select Here" chosen, nothing listed.
             i.ed.menu.BrowseMode = true;
             i.ed.menu.browserLanguage = 0;
             GetRootOffset(i.ed, i.ed.menu);
             i.ed.menu.browser.rows.clear();
             i.ed.menu.browser.records.clear();
             return std::make_shared<TBrowseMenu>(i.ed, i.ed.menu, i.ed.texts, i.ui,
                                                  kBrowseSecurity, i.ed.texts.menuLanguages);
         },
         [](QWidget* w) {
             Find<QComboBox>(*w, "language")->setCurrentIndex(1);
             auto* list = Find<QTreeWidget>(*w, "menuItems");
             for (int r = 0; r < list->topLevelItemCount(); ++r) {
                 const QString record = list->topLevelItem(r)->data(0, Qt::UserRole).toString();
                 if (record.contains(QLatin1String("05E00000")) ||
                     record.contains(QLatin1String("03870000"))) {
                     list->setCurrentItem(list->topLevelItem(r));
                     return;
                 }
             }
             QFAIL("no row the browser can hand over");
         },
         [](DialogModel& m) { return !As<TBrowseMenu>(m).Result().empty(); }},
        {"Fading Leds",
         [](Image&) {
             auto m = std::make_shared<TFadeLeds>();
             m->Open();
             return m;
         },
         [](QWidget* w) { Type(Find<QLineEdit>(*w, "fadeIn"), QStringLiteral("0400")); },
         [](DialogModel& m) {
             auto& f = As<TFadeLeds>(m);
             return !f.Cancel && f.FadeIn() == "0400";
         }},
        {"Inverted LCD",
         [](Image&) {
             auto m = std::make_shared<TInvertFrm>();
             m->Open();
             return m;
         },
         [](QWidget* w) { Find<QRadioButton>(*w, "blinking")->click(); },
         [](DialogModel& m) {
             auto& f = As<TInvertFrm>(m);
             return !f.Cancel && f.Mode() == TInvertFrm::kBlinkingMode;
         }},
        {"Black and White", [](Image&) { return std::make_shared<PictureImport>(); },
         [](QWidget* w) { Find<QRadioButton>(*w, "dither")->click(); },
         [](DialogModel& m) {
             auto& p = As<PictureImport>(m);
             return p.threshold.has_value() && p.dither;
         }},
        {"Image Editor",
         [](Image&) {
             auto m = std::make_shared<TImagEdit>();
             m->Prepare(84, 48, test::NoiseBytes(84 * 6, 7));
             return m;
         },
         [](QWidget* w) { Click(*w, "clear"); },
         [](DialogModel& m) { return As<TImagEdit>(m).accepted; }},
        {"Menu Editor",
         [](Image& i) {
             const MenuRow& r = i.ed.menu.tab.rows.at(0);
             return std::make_shared<TMenuEdit>(r.name, r.record);
         },
         [](QWidget* w) { Find<QLineEdit>(*w, "bmpId")->setFocus(); },
         [](DialogModel& m) { return As<TMenuEdit>(m).Accepted(); }},
        {"Add Menu",
         [](Image& i) {
             return std::make_shared<TAddMenu>(i.ed.menu.tab.records.at(0),
                                               LongMenuRecords(i.ed.PhoneType()), false);
         },
         [](QWidget* w) { Type(Find<QLineEdit>(*w, "menuName"), QStringLiteral("Games")); },
         [](DialogModel& m) { return As<TAddMenu>(m).Accepted(); }},
    };
}

// Closes, and notes, any message box that opens while a dialog is being driven: a refusal
// must not leave the test waiting for a user.
struct MessageCatcher {
    QTimer poll;
    QStringList texts;
    MessageCatcher() {
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->close();
            }
        });
        poll.start();
    }
};

bool Focusable(QWidget* c) {
    return c->isVisible() && c->isEnabled() && (c->focusPolicy() & Qt::TabFocus);
}

// What the layout checks find wrong, one line each.
QStringList LayoutFaults(QWidget* w) {
    QStringList faults;
    if (w->width() < TitleWidth(w, w->windowTitle()))
        faults
            << QStringLiteral("title \"%1\" cut at width %2").arg(w->windowTitle()).arg(w->width());
    for (QLabel* l : w->findChildren<QLabel*>()) {
        if (!l->isVisible() || l->wordWrap() || l->text().isEmpty()) continue;
        if (l->width() < l->minimumSizeHint().width())
            faults << QStringLiteral("label \"%1\" cut").arg(l->text());
    }
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
        if (!b->isVisible()) continue;
        if (b->width() < b->minimumSizeHint().width())
            faults << QStringLiteral("button \"%1\" cut").arg(b->text());
    }
    // Tab, from the control that has the focus when the dialog opens, comes round to it
    // through every control.
    QList<QWidget*> controls;
    for (QWidget* c : w->findChildren<QWidget*>())
        if (Focusable(c)) controls << c;
    if (controls.isEmpty()) return faults << QStringLiteral("no control takes the focus");
    QWidget* first = w->focusWidget();
    if (!first || !Focusable(first)) first = controls.front();
    if (first->objectName() == QLatin1String("cancel"))
        faults << QStringLiteral("the focus starts on Cancel");
    QList<QWidget*> reached;
    QWidget* c = first;
    do {
        if (Focusable(c) && !reached.contains(c)) reached << c;
        c = c->nextInFocusChain();
    } while (c != first && reached.size() <= controls.size());
    for (QWidget* missed : controls)
        if (!reached.contains(missed))
            faults << QStringLiteral("Tab never reaches %1").arg(missed->objectName());
    auto* ok = w->findChild<QWidget*>(QStringLiteral("ok"));
    auto* cancel = w->findChild<QWidget*>(QStringLiteral("cancel"));
    if (!ok || !cancel) return faults << QStringLiteral("no OK / Cancel button");
    if (reached.indexOf(ok) > reached.indexOf(cancel))
        faults << QStringLiteral("Tab reaches Cancel before OK");
    return faults;
}

}  // namespace

class DialogTableTest : public QObject {
    Q_OBJECT

  private slots:
    void everyDialogLeavesAnAnswerOnlyOnOk() {
        const std::vector<Case> cases = Cases();
        // Every dialog the window maps is in the table.
        QCOMPARE(static_cast<std::size_t>(DialogViews().size()), cases.size());
        for (int family : {4, 10}) {
            for (const Case& c : cases) {
                for (Exit exit : {Exit::Ok, Exit::Cancel, Exit::Escape, Exit::CloseBox}) {
                    const QString what = QStringLiteral("%1 (family %2), left by %3")
                                             .arg(QLatin1String(c.name))
                                             .arg(family)
                                             .arg(QLatin1String(ExitName(exit)));
                    Image image(family);
                    auto model = c.make(image);
                    const auto& dialog = *model;
                    const auto view = DialogViews().find(typeid(dialog));
                    QVERIFY2(view != DialogViews().end(), qPrintable(what));
                    QStringList faults;
                    MessageCatcher messages;
                    WhenModal([&](QWidget* w) {
                        if (exit == Exit::Ok) faults = LayoutFaults(w);
                        c.edit(w);
                        switch (exit) {
                            case Exit::Ok:
                                Click(*w, "ok");
                                break;
                            case Exit::Cancel:
                                Click(*w, "cancel");
                                break;
                            case Exit::Escape:
                                QTest::keyClick(w, Qt::Key_Escape);
                                break;
                            case Exit::CloseBox:
                                w->close();
                                break;
                        }
                        if (w->isVisible())
                            faults << QStringLiteral("still open after %1").arg(ExitName(exit));
                    });
                    const bool accepted = view->second(nullptr, *model);
                    QVERIFY2(faults.isEmpty(), qPrintable(what + ": " + faults.join("; ")));
                    QVERIFY2(messages.texts.isEmpty(),
                             qPrintable(what + ": told " + messages.texts.join("; ")));
                    QVERIFY2(accepted == (exit == Exit::Ok), qPrintable(what));
                    QVERIFY2(c.answered(*model) == (exit == Exit::Ok), qPrintable(what));
                }
            }
        }
    }
};

UI_TEST(DialogTableTest);
#include "DialogTableTest.moc"
