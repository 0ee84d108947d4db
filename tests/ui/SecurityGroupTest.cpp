// The "Security Code" group drives the patch: the manual choice opens the fields and their
// browse buttons, each browser fills its field, the patch writes and locks the button.

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

#include "UiHarness.h"
#include "menu/SecurityPatch.h"
#include "menu/TBrowseMenu.h"
#include "ui/Brivant.h"

using namespace brivant;
using namespace brivant::uitest;

namespace {

// The browser as the user works it: the first language, down into `via` when given, then
// the row named `name` and "&OK".
std::function<bool(TBrowseMenu&)> Pick(std::string via, std::string name) {
    return [via, name](TBrowseMenu& b) {
        b.ChooseLanguage(1);
        const auto find = [&b](const std::string& n) {
            for (std::size_t i = 0; i < b.Rows().size(); ++i)
                if (b.Rows()[i].name == n) return static_cast<int>(i);
            return -1;
        };
        if (!via.empty()) b.ViewSubMenu(find(via));
        b.Select(find(name));
        return b.Ok();
    };
}

}  // namespace

class SecurityGroupTest : public QObject {
    Q_OBJECT

  private slots:
    void manualPatchThroughTheGroup() {
        TempDir dir;
        ScriptUi ui;
        TMain w(ui);
        w.show();
        OpenSample(w, dir.Path("x.fls"), 3);
        QSignalSpy ran(&w, &TMain::commandRan);
        auto* field0 = Find<QLineEdit>(w, "securityOffset0");
        auto* field1 = Find<QLineEdit>(w, "securityOffset1");
        auto* patch = Find<QPushButton>(w, "patchButton");
        QVERIFY(!field0->isEnabled() && !Find<QToolButton>(w, "securityBrowse0")->isEnabled());

        Find<QRadioButton>(w, "securityOption3")->click();
        QVERIFY(field0->isEnabled() && field1->isEnabled());
        ui.dialogs.On<TBrowseMenu>() = Pick("", "Messages");
        Click(w, "securityBrowse0");
        ui.dialogs.On<TBrowseMenu>() = Pick("Security settings", "Security code");
        Click(w, "securityBrowse1");
        QCOMPARE(field0->text().size(), 32);
        QCOMPARE(field0->text().mid(12, 4), QStringLiteral("0387"));
        QCOMPARE(field1->text().mid(12, 4), QStringLiteral("05E0"));

        ui.told.clear();
        QVERIFY(patch->isEnabled());
        Click(w, "patchButton");
        QCOMPARE(ui.Messages(), std::vector<std::string>{kSecurityPatched});
        QVERIFY(!patch->isEnabled());
        QCOMPARE(Names(ran), (QStringList{"securityBrowse", "securityBrowse", "securityPatch"}));
    }
};

UI_TEST(SecurityGroupTest);
#include "SecurityGroupTest.moc"
