// The dialogs with a model of their own, driven as a user drives them: what is typed and
// clicked reaches the model, refusals keep the dialog open, and Cancel leaves nothing to
// write.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "UiHarness.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"
#include "tones/ToptionFrm.h"
#include "ui/TLangEditView.h"
#include "ui/TOpEditView.h"
#include "ui/ToptionFrmView.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

QString EntriesLabel(QWidget& w) {
    for (QLabel* l : w.findChildren<QLabel*>())
        if (l->text().startsWith(QLatin1String(kEntriesPrefix))) return l->text();
    return {};
}

QStringList Items(QListWidget* list) {
    QStringList s;
    for (int i = 0; i < list->count(); ++i) s << list->item(i)->text();
    return s;
}

// The text of the message box the next statement opens; the box is closed.
struct BoxText {
    QString text;
    void expect() {
        WhenModal([this](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) text = box->text();
        });
    }
};

}  // namespace

class DialogViewsTest : public QObject {
    Q_OBJECT

  private slots:
    void optionsRefusesBadCountsAndKeepsItsAnswer() {
        ToptionFrm model;
        QStringList told;
        {
            ToptionFrmView d(model);
            d.showMessage = [&told](const QString& t) { told << t; };
            d.show();
            d.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            QCOMPARE(d.countField()->text(), QStringLiteral("2"));
            QVERIFY(d.normalButton()->isChecked());

            for (const char* bad : {"21", "0"}) {
                Type(d.countField(), QString::fromLatin1(bad));
                Find<QPushButton>(d, "ok")->setFocus();
                Click(d, "ok");
                QVERIFY(d.isVisible());
                // Back in the field, ready to be typed over.
                QVERIFY(d.countField()->hasFocus());
                QCOMPARE(d.countField()->selectedText(), QString::fromLatin1(bad));
            }
            QCOMPARE(told, (QStringList{ToptionFrm::kRangeMessage, ToptionFrm::kRangeMessage}));
            Type(d.countField(), QStringLiteral("ab"));
            Click(d, "ok");
            QVERIFY(d.isVisible());
            QCOMPARE(told.size(), 3);
            QVERIFY(!told.back().isEmpty() && told.back() != ToptionFrm::kRangeMessage);
            QVERIFY(!model.HasPrefix());

            Type(d.countField(), QStringLiteral("123"));  // at most two characters
            QCOMPARE(d.countField()->text(), QStringLiteral("12"));
            d.ascendingButton()->click();
            Click(d, "ok");
            QVERIFY(!d.isVisible());
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QCOMPARE(model.Prefix(), std::string("0002FD090A800512"));
        }

        // Shown again it offers the last answer, and may now be closed without one.
        {
            ToptionFrmView d(model);
            d.show();
            QCOMPARE(d.countField()->text(), QStringLiteral("12"));
            QVERIFY(d.ascendingButton()->isChecked());
            Type(d.countField(), QStringLiteral("3"));
            d.reject();
            QVERIFY(!d.isVisible());
            QCOMPARE(model.Prefix(), std::string("0002FD090A800512"));
        }

        // Cancelled at its first use it leaves no answer at all.
        {
            ToptionFrm fresh;
            ToptionFrmView d(fresh);
            d.show();
            Type(d.countField(), QStringLiteral("5"));
            Click(d, "cancel");
            QVERIFY(!d.isVisible());
            QVERIFY(!fresh.HasPrefix());
        }

        WhenModal([](QWidget* w) {
            Type(Find<QLineEdit>(*w, "count"), QStringLiteral("20"));
            Find<QRadioButton>(*w, "normal")->click();
            Click(*w, "ok");
        });
        QVERIFY(ShowOptionsDialog(nullptr, model));
        QCOMPARE(model.Prefix(), std::string("0002FD0A800520"));
    }

    void languageEditorFollowsTheUser() {
        TLangEdit model;
        model.Load({"OK", "Menu", "Back", "Yes"}, false);
        {
            TLangEditView v(model);
            v.show();
            auto* list = Find<QListWidget>(v, "texts");
            auto* text = Find<QLineEdit>(v, "text");
            QCOMPARE(Items(list), (QStringList{"OK", "Menu", "Back", "Yes"}));
            QCOMPARE(list->currentRow(), 0);
            QCOMPARE(text->text(), QStringLiteral("OK"));
            QCOMPARE(Find<QPushButton>(v, "go")->text(), QStringLiteral("&GO"));
            QCOMPARE(EntriesLabel(v), QStringLiteral("Entries: 4"));

            list->setCurrentRow(2);
            QCOMPARE(model.Selected(), 2);
            QCOMPARE(text->text(), QStringLiteral("Back"));
            // Looking around without typing leaves nothing to write.
            Click(v, "ok");
            QCOMPARE(v.result(), int(QDialog::Accepted));
            QVERIFY(model.Result().empty());
        }

        model.Load({"OK", "Menu", "Back", "Yes"}, false);
        TLangEditView v(model);
        v.show();
        auto* list = Find<QListWidget>(v, "texts");
        auto* text = Find<QLineEdit>(v, "text");
        auto* go = Find<QPushButton>(v, "go");
        list->setCurrentRow(1);
        Type(text, QStringLiteral("Main"));
        QCOMPARE(list->item(1)->text(), QStringLiteral("Main"));
        QCOMPARE(model.Texts()[1], std::string("Main"));

        BoxText box;
        Type(Find<QLineEdit>(v, "search"), QStringLiteral("zzz"));
        box.expect();
        QTest::mouseClick(go, Qt::LeftButton);
        QCOMPARE(box.text, QString::fromLatin1(kSearchNotFound));
        QCOMPARE(go->text(), QStringLiteral("&GO"));

        Type(Find<QLineEdit>(v, "search"), QStringLiteral("yES"));
        QTest::mouseClick(go, Qt::LeftButton);
        QCOMPARE(list->currentRow(), 3);
        QCOMPARE(text->text(), QStringLiteral("Yes"));
        QCOMPARE(go->text(), QStringLiteral("&NEXT"));
        box.expect();
        QTest::mouseClick(go, Qt::LeftButton);
        QCOMPARE(box.text, QString::fromLatin1(kSearchNoMore));
        QCOMPARE(go->text(), QStringLiteral("&GO"));

        Click(v, "ok");
        QCOMPARE(v.result(), int(QDialog::Accepted));
        QCOMPARE(BytesToHex(model.Result()),
                 "02040403" + BytesToHex(Bytes{'O', 'K', 'M', 'a', 'i', 'n', 'B', 'a', 'c', 'k',
                                               'Y', 'e', 's'}));

        // Typed and then cancelled: nothing to write.
        model.Load({"OK"}, false);
        WhenModal([](QWidget* w) {
            Type(Find<QLineEdit>(*w, "text"), QStringLiteral("Okay"));
            Click(*w, "cancel");
        });
        QVERIFY(!ShowLanguageEditor(nullptr, model));
        QVERIFY(model.Result().empty());
    }

    void operatorsEditorFollowsTheUser() {
        TOpEdit model("515", {{"Globe", "02", "02"}, {"", "03", "03"}, {"Sun", "05", "05"}});
        model.Show();
        TOpEditView v(model);
        v.show();
        auto* list = Find<QListWidget>(v, "operators");
        auto* name = Find<QLineEdit>(v, "name");
        auto* network = Find<QLineEdit>(v, "networkCode");
        auto* country = Find<QLineEdit>(v, "countryCode");
        // The nameless entry is gone before the dialog shows.
        QCOMPARE(Items(list), (QStringList{"Globe", "Sun"}));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(name->text(), QStringLiteral("Globe"));
        QCOMPARE(network->text(), QStringLiteral("02"));
        QCOMPARE(country->text(), QStringLiteral("515"));
        QVERIFY(country->isReadOnly());

        list->setCurrentRow(1);
        QCOMPARE(name->text(), QStringLiteral("Sun"));
        QCOMPARE(network->text(), QStringLiteral("05"));
        Type(name, QStringLiteral("Sunny"));
        Type(network, QStringLiteral("7"));
        QCOMPARE(Items(list), (QStringList{"Globe", "Sunny"}));
        QCOMPARE(model.Operators()[1].code, std::string("07"));

        Click(v, "add");
        QCOMPARE(Items(list), (QStringList{"Globe", "Sunny", "NewOperator"}));
        list->setCurrentRow(0);
        Click(v, "delete");
        QCOMPARE(Items(list), (QStringList{"Sunny", "NewOperator"}));
        QVERIFY(name->text().isEmpty() && network->text().isEmpty());

        Click(v, "ok");
        QCOMPARE(v.result(), int(QDialog::Accepted));
        QVERIFY(model.Accepted());
        QCOMPARE(BytesToHex(model.Entries()),
                 std::string("0C70F00553756E6E79000000") + "1000F00B4E65774F70657261746F7200");
    }

    void operatorsEditorRefusesABadCodeAndCancelsCleanly() {
        TOpEdit model("234", {{"Vodafone", "15", "15"}});
        model.Show();
        {
            TOpEditView v(model);
            v.show();
            Type(Find<QLineEdit>(v, "networkCode"), QStringLiteral("x"));
            BoxText box;
            box.expect();
            Click(v, "ok");
            QVERIFY(box.text.contains(QStringLiteral("Vodafone")));
            QVERIFY(v.isVisible());
            QVERIFY(!model.Accepted());
        }

        TOpEdit other("234", {{"Vodafone", "15", "15"}});
        other.Show();
        WhenModal([](QWidget* w) {
            Type(Find<QLineEdit>(*w, "name"), QStringLiteral("Gone"));
            Click(*w, "cancel");
        });
        QVERIFY(!ShowOperatorsEditor(nullptr, other));
        QVERIFY(!other.Accepted());
    }
};

UI_TEST(DialogViewsTest);
#include "DialogViewsTest.moc"
