#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "UiHarness.h"
#include "texts/TLangEdit.h"
#include "ui/TLangEditView.h"

using namespace brivant;
using namespace brivant::uitest;

class LangEditorKeysTest : public QObject {
    Q_OBJECT
  private slots:
    // Enter in the search field runs GO and NEXT, from either Enter key: the dialog stays
    // open and the typed edits are not written.
    void enterInTheSearchFieldSearches() {
        for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter}) {
            TLangEdit model;
            model.Load({"OK", "Menu", "Back", "Menu2"}, false);
            TLangEditView v(model);
            v.show();
            auto* list = Find<QListWidget>(v, "texts");
            auto* text = Find<QLineEdit>(v, "text");
            auto* search = Find<QLineEdit>(v, "search");
            text->setFocus();
            QTest::keyClicks(text, QStringLiteral("!"));
            search->setFocus();
            QTest::keyClicks(search, QStringLiteral("menu"));

            QTest::keyClick(search, enter);
            QCOMPARE(list->currentRow(), 1);
            QCOMPARE(Find<QPushButton>(v, "go")->text(), QStringLiteral("&NEXT"));
            QTest::keyClick(search, enter);
            QCOMPARE(list->currentRow(), 3);

            QString told;
            WhenModal([&told](QWidget* w) {
                if (auto* box = qobject_cast<QMessageBox*>(w)) told = box->text();
            });
            QTest::keyClick(search, enter);
            QCOMPARE(told, QString::fromLatin1(kSearchNoMore));
            QCOMPARE(Find<QPushButton>(v, "go")->text(), QStringLiteral("&GO"));

            QVERIFY(v.isVisible());
            QCOMPARE(v.result(), 0);
            QVERIFY(model.Result().empty());
            QCOMPARE(model.Texts()[0], std::string("OK!"));
        }
    }
};

UI_TEST(LangEditorKeysTest);
#include "LangEditorKeysTest.moc"
