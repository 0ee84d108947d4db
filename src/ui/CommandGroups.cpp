#include "ui/CommandGroups.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Editor.h"
#include "menu/SecurityBrowse.h"
#include "menu/SecurityPatch.h"
#include "patches/Miscellaneous.h"
#include "ppm/FreeSpace.h"
#include "tones/AlertTones.h"
#include "ui/QtInteraction.h"
#include "ui/Shell.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {
const char* const kAlertTones[] = {"Standard",        "Special",     "Beep Once", "Ascending",
                                   "Start/Shut Tone", "Alarm Clock", "Calendar",  "System Error"};
}

CommandGroups::CommandGroups(Shell& shell, QWidget* parent) : QWidget(parent), shell_(shell) {
    auto* groups = new QVBoxLayout(this);
    groups->setSpacing(2);
    groups->setContentsMargins(0, 0, 0, 0);
    groups->addWidget(buildAlertTones());
    groups->addWidget(buildSecurityCode());
    groups->addWidget(buildFreeSpace());
    groups->addWidget(buildMiscellaneous());
    groups->addStretch();
}

QWidget* CommandGroups::buildAlertTones() {
    alertTone_ = new QComboBox;
    alertTone_->setObjectName("alertTone");
    for (const char* t : kAlertTones) alertTone_->addItem(QString::fromLatin1(t));
    alertTone_->setCurrentIndex(0);
    alertChange_ = new QRadioButton(tr("Change"));
    alertChange_->setObjectName("alertChange");
    alertChange_->setChecked(true);
    // The choice lives in the editor: the 62XX/7110 alert tones work through it.
    connect(alertTone_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!shell_.rendering() && i >= 0) shell_.editor().tones.alertKind = i;
    });
    connect(alertChange_, &QRadioButton::toggled, this, [this](bool on) {
        if (!shell_.rendering()) shell_.editor().tones.alertChange = on;
    });
    alertRetrieve_ = new QRadioButton(tr("Retrieve"));
    alertRetrieve_->setObjectName("alertRetrieve");
    auto* doIt = new QPushButton(tr("&Do It"));
    doIt->setObjectName("alertDoIt");
    connect(doIt, &QPushButton::clicked, this, [this] {
        shell_.run("alertTone", [this] {
            Editor& ed = shell_.editor();
            AlertToneDoIt(ed, ed.tones, shell_.interaction(), ed.tones.alertKind,
                          ed.tones.alertChange);
        });
    });

    auto* grid = new QGridLayout;
    grid->addWidget(alertTone_, 0, 0, 1, 2);
    grid->addWidget(doIt, 0, 2);
    grid->addWidget(alertChange_, 1, 0);
    grid->addWidget(alertRetrieve_, 1, 1);
    auto* g = Group(tr("Alert Tones"), grid);
    g->setObjectName("alertTonesGroup");
    return g;
}

QWidget* CommandGroups::buildSecurityCode() {
    const QString captions[4] = {tr("&Whole Messages Menu"), tr("&Inbox"), tr("Outbo&x"),
                                 tr("Manua&l")};
    auto* options = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        securityOption_[i] = new QRadioButton(captions[i]);
        securityOption_[i]->setObjectName(QStringLiteral("securityOption%1").arg(i));
        options->addButton(securityOption_[i], i);
    }
    // Every click is a new choice: after a failed attempt the button follows it again.
    connect(options, &QButtonGroup::idClicked, this, [this](int id) {
        if (shell_.rendering()) return;
        Editor& ed = shell_.editor();
        ChooseSecurityOption(ed.security, id);
        SecurityTypeChosen(ed, ed.security);
        shell_.refresh();
    });
    auto* grid = new QGridLayout;
    grid->addWidget(securityOption_[0], 0, 0, 1, 3);
    grid->addWidget(securityOption_[1], 1, 0);
    grid->addWidget(securityOption_[2], 1, 1);
    grid->addWidget(securityOption_[3], 1, 2);
    auto* fields = new QHBoxLayout;
    fields->setSpacing(2);
    for (int i = 0; i < 2; ++i) {
        securityOffset_[i] = new QLineEdit;
        securityOffset_[i]->setObjectName(QStringLiteral("securityOffset%1").arg(i));
        ShowReadOnly(securityOffset_[i]);
        securityOffset_[i]->setEnabled(false);
        securityBrowse_[i] = new QToolButton;
        securityBrowse_[i]->setObjectName(QStringLiteral("securityBrowse%1").arg(i));
        securityBrowse_[i]->setText(QStringLiteral("..."));
        // Field 1 takes the item to guard, field 2 the security item.
        connect(securityBrowse_[i], &QToolButton::clicked, this, [this, i] {
            shell_.run("securityBrowse", [this, i] {
                Editor& ed = shell_.editor();
                BrowseSecurityField(ed, ed.security, ed.menu, ed.texts, shell_.interaction(),
                                    i + 1);
            });
        });
        fields->addWidget(securityOffset_[i], 1);
        fields->addWidget(securityBrowse_[i]);
    }
    grid->addLayout(fields, 2, 0, 1, 3);
    patchButton_ = new QPushButton(tr("&Patch Now!!!"));
    patchButton_->setObjectName("patchButton");
    connect(patchButton_, &QPushButton::clicked, this, [this] {
        shell_.run("securityPatch", [this] {
            Editor& ed = shell_.editor();
            PatchSecurityCode(ed, ed.security, shell_.interaction());
        });
    });
    grid->addWidget(patchButton_, 3, 0, 1, 3);
    auto* g = Group(tr("Security Code"), grid);
    g->setObjectName("securityGroup");
    return g;
}

QWidget* CommandGroups::buildFreeSpace() {
    toMcu_ = new QRadioButton(tr("MCU"));
    toMcu_->setObjectName("adjustMcu");
    toMcu_->setChecked(true);
    auto* toPpm = new QRadioButton(tr("PPM"));
    toPpm->setObjectName("adjustPpm");
    mcuFree_ = new QLineEdit;
    mcuFree_->setObjectName("mcuFree");
    ppmFree_ = new QLineEdit;
    ppmFree_->setObjectName("ppmFree");
    // The adjust command takes its limits from these texts, edits included.
    connect(mcuFree_, &QLineEdit::textEdited, this,
            [this](const QString& t) { shell_.editor().mcuFreeField = t.toStdString(); });
    connect(ppmFree_, &QLineEdit::textEdited, this,
            [this](const QString& t) { shell_.editor().ppmFreeField = t.toStdString(); });
    auto* adjust = new QPushButton(tr("Ad&just"));
    adjust->setObjectName("adjustButton");
    adjust->setMaximumWidth(54);
    // Room for the seven digits of a large image's free space.
    mcuFree_->setMinimumWidth(58);
    ppmFree_->setMinimumWidth(58);
    connect(adjust, &QPushButton::clicked, this, [this] {
        const AdjustTarget target = toMcu_->isChecked() ? AdjustTarget::MCU : AdjustTarget::PPM;
        shell_.run("adjust",
                   target == AdjustTarget::MCU ? "Adjust MCU free space" : "Adjust PPM free space",
                   [this, target] { AdjustSpace(shell_.editor(), shell_.interaction(), target); });
    });

    auto* grid = new QGridLayout;
    grid->addWidget(toMcu_, 0, 0);
    grid->addWidget(mcuFree_, 0, 1);
    grid->addWidget(new QLabel(tr("bytes")), 0, 2);
    grid->addWidget(toPpm, 1, 0);
    grid->addWidget(ppmFree_, 1, 1);
    grid->addWidget(new QLabel(tr("bytes")), 1, 2);
    grid->addWidget(adjust, 0, 3, 2, 1);
    grid->setColumnStretch(1, 1);
    auto* g = Group(tr("Free Space"), grid);
    g->setObjectName("freeSpaceGroup");
    return g;
}

// The fading-LED and inverted-LCD patches; the entry chosen lives in the editor.
QWidget* CommandGroups::buildMiscellaneous() {
    misc_ = new QComboBox;
    misc_->setObjectName("misc");
    for (const char* entry : kMiscEntries) misc_->addItem(QString::fromLatin1(entry));
    misc_->setCurrentIndex(0);
    connect(misc_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!shell_.rendering() && i >= 0) shell_.editor().patches.miscEntry = i;
    });
    auto* doIt = new QPushButton(QString::fromLatin1(kMiscDoIt));
    doIt->setObjectName("miscDoIt");
    connect(doIt, &QPushButton::clicked, this, [this] {
        shell_.run("misc", [this] {
            Editor& ed = shell_.editor();
            MiscDoIt(ed, ed.patches, shell_.interaction());
        });
    });
    auto* row = new QHBoxLayout;
    row->addWidget(misc_, 1);
    row->addWidget(doIt);
    auto* g = Group(QString::fromLatin1(kMiscGroup), row);
    g->setObjectName("miscGroup");
    return g;
}

void CommandGroups::render() {
    const Editor& ed = shell_.editor();
    const ToneState& tones = ed.tones;
    const SecurityState& sec = ed.security;
    {
        QSignalBlocker b1(alertTone_), b2(alertChange_), b3(alertRetrieve_);
        if (tones.alertKind >= 0 && tones.alertKind < alertTone_->count())
            alertTone_->setCurrentIndex(tones.alertKind);
        (tones.alertChange ? alertChange_ : alertRetrieve_)->setChecked(true);
    }

    patchButton_->setEnabled(sec.patchEnabled);
    const int option = sec.securityOption >= 0 && sec.securityOption < 4 ? sec.securityOption : 0;
    securityOption_[option]->setChecked(true);
    securityOffset_[0]->setText(FromCore(sec.securityOffset1));
    securityOffset_[1]->setText(FromCore(sec.securityOffset2));
    // The fields and their browse buttons hold the items of a manual patch and mean nothing
    // otherwise.
    for (int i = 0; i < 2; ++i) {
        securityOffset_[i]->setEnabled(sec.ManualEnabled());
        securityBrowse_[i]->setEnabled(sec.ManualEnabled());
    }

    SetTextIfChanged(mcuFree_, FromCore(ed.mcuFreeField));
    SetTextIfChanged(ppmFree_, FromCore(ed.ppmFreeField));

    {
        QSignalBlocker b(misc_);
        if (ed.patches.miscEntry >= 0 && ed.patches.miscEntry < misc_->count())
            misc_->setCurrentIndex(ed.patches.miscEntry);
    }
}

}  // namespace brivant
