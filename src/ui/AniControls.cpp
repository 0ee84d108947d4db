#include "ui/AniControls.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <functional>

#include "app/Editor.h"
#include "graphics/AniCatalog.h"
#include "graphics/AniCommands.h"
#include "graphics/BitmapAniExport.h"
#include "graphics/BitmapCatalog.h"
#include "platform/QtBitmapFiles.h"
#include "ui/Shell.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

namespace {

constexpr const char* kAniIdCaption = "Ani ID:";
constexpr const char* kLengthCaption = "Length:";
constexpr const char* kFrameCaption = "Frame:";
constexpr const char* kBmpIdCaption = "Bmp ID:";
constexpr const char* kAnimateCaption = "Animate";

QComboBox* Selector(const char* name) {
    auto* box = new QComboBox;
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

AniControls::AniControls(Shell& shell, QWidget* page) : QObject(page), shell_(shell) {
    Editor& ed = shell_.editor();
    aniId_ = Selector("aniId");
    connect(aniId_, &QComboBox::currentIndexChanged, this, [this, &ed](int id) {
        onChange("animationChosen", [this, &ed, id] {
            ShowAnimation(ed, ed.ani, ed.graphics, shell_.interaction(), id);
        });
    });
    length_ = new QLineEdit;
    length_->setObjectName("aniLength");
    ShowReadOnly(length_);
    lengthUpDown_ = new QSpinBox;
    lengthUpDown_->setObjectName("lengthUpDown");
    lengthUpDown_->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    lengthUpDown_->setFixedWidth(18);
    lengthUpDown_->setRange(0, kAniMaxFrames);
    connect(lengthUpDown_, &QSpinBox::valueChanged, this, [this, &ed](int count) {
        onChange("frameCountChanged", [this, &ed, count] {
            FrameCountChanged(ed, ed.ani, ed.graphics, shell_.interaction(), count);
        });
    });
    frame_ = Selector("frame");
    connect(frame_, &QComboBox::currentIndexChanged, this, [this, &ed](int k) {
        onChange("frameChanged",
                 [this, &ed, k] { ShowFrame(ed, ed.ani, ed.graphics, shell_.interaction(), k); });
    });
    frameBmpId_ = Selector("frameBmpId");
    connect(frameBmpId_, &QComboBox::currentIndexChanged, this, [this, &ed](int id) {
        onChange("frameBitmapChosen", [this, &ed, id] {
            FrameBitmapChosen(ed, ed.ani, ed.graphics, shell_.interaction(), id);
        });
    });
    OnFocusIn(frameBmpId_, [this, &ed] {
        if (ed.ani.frameBitmap < 0) return;
        shell_.run("frameBitmapFocus", [&ed] { ShowBitmap(ed, ed.graphics, ed.ani.frameBitmap); });
    });
    animate_ = new QCheckBox(QString::fromLatin1(kAnimateCaption));
    animate_->setObjectName("animate");
    connect(animate_, &QCheckBox::toggled, this,
            [this, &ed](bool on) { onChange("animate", [&ed, on] { SetAnimate(ed.ani, on); }); });
    // The context menu of the animation controls: the animation on show, written to a file.
    exportAction_ = new QAction(QString::fromUtf8(kAniExportEntry), this);
    exportAction_->setObjectName("aniExport");
    connect(exportAction_, &QAction::triggered, this, [this, &ed] {
        shell_.run("aniExport", [this, &ed] {
            if (ed.ani.current < 0) return;
            ExportAnimation(ed, ed.ani, ed.graphics, shell_.interaction(), PlatformBitmapFiles(),
                            ed.ani.current);
        });
    });
    for (QWidget* c : std::initializer_list<QWidget*>{aniId_, frame_, frameBmpId_}) {
        c->setContextMenuPolicy(Qt::ActionsContextMenu);
        c->addAction(exportAction_);
    }
    timer_ = new QTimer(this);
    timer_->setObjectName("animationTimer");
    timer_->setInterval(kAniPlayIntervalMs);
    connect(timer_, &QTimer::timeout, this, [this, &ed] {
        shell_.run("animationTick",
                   [this, &ed] { AnimateTick(ed, ed.ani, ed.graphics, shell_.interaction()); });
    });

    grid_ = new QGridLayout;
    grid_->addWidget(new QLabel(QString::fromLatin1(kAniIdCaption)), 0, 0);
    grid_->addWidget(aniId_, 0, 1);
    grid_->addWidget(new QLabel(QString::fromLatin1(kLengthCaption)), 0, 2);
    auto* lengthRow = new QHBoxLayout;
    lengthRow->setSpacing(0);
    lengthRow->addWidget(length_, 1);
    lengthRow->addWidget(lengthUpDown_);
    grid_->addLayout(lengthRow, 0, 3);
    grid_->addWidget(new QLabel(QString::fromLatin1(kFrameCaption)), 1, 0);
    grid_->addWidget(frame_, 1, 1);
    grid_->addWidget(new QLabel(QString::fromLatin1(kBmpIdCaption)), 1, 2);
    grid_->addWidget(frameBmpId_, 1, 3);
    grid_->addWidget(animate_, 2, 0, 1, 2);
    grid_->setColumnStretch(1, 1);
    grid_->setColumnStretch(3, 1);
}

void AniControls::onChange(const char* command, std::function<void()> body) {
    if (!shell_.rendering()) shell_.run(command, body);
}

void AniControls::render() {
    const AniState& a = shell_.editor().ani;
    std::vector<std::string> ids, labels;
    for (std::size_t i = 0; i < a.catalog.size(); ++i)
        ids.push_back(BitmapIdText(static_cast<int>(i)));
    for (const AniFrame& f : a.frames) labels.push_back(f.label);
    QSignalBlocker b1(aniId_), b2(lengthUpDown_), b3(frame_), b4(frameBmpId_), b5(animate_);
    SetItems(aniId_, ids);
    aniId_->setCurrentIndex(a.current);
    length_->setText(a.current >= 0 ? QString::number(a.shownCount) : QString());
    lengthUpDown_->setValue(a.shownCount);
    SetItems(frame_, labels);
    frame_->setCurrentIndex(a.frame);
    SetItems(frameBmpId_, a.bitmapIds);
    frameBmpId_->setCurrentIndex(a.frameBitmap);
    animate_->setChecked(a.animate);
    for (QWidget* c : std::initializer_list<QWidget*>{aniId_, length_, lengthUpDown_, frame_,
                                                      frameBmpId_, animate_})
        c->setEnabled(a.enabled);
    exportAction_->setEnabled(a.enabled && a.current >= 0);
    // Playing runs while the state says so: cleared, stopped by a frame that cannot be
    // shown, or forgotten by opening another file.
    if (a.animate && !timer_->isActive()) timer_->start();
    if (!a.animate) timer_->stop();
}

void AniControls::stop() {
    timer_->stop();
}

}  // namespace brivant
