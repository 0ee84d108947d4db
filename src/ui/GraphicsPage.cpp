#include "ui/GraphicsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/WidgetHelpers.h"

namespace brivant {

// The bitmap and animation commands come with the graphics feature: until then they run
// by name only.
GraphicsPage::GraphicsPage(Shell& shell) : TabPage(shell) {
    bmpId_ = new QComboBox;
    bmpId_->setObjectName("bmpId");
    connect(bmpId_, &QComboBox::currentIndexChanged, this,
            [this] { onUserChange("bitmapChosen"); });
    bmpWidth_ = new QLabel(tr("Width:"));
    bmpWidth_->setObjectName("bmpWidth");
    bmpHeight_ = new QLabel(tr("Height:"));
    bmpHeight_->setObjectName("bmpHeight");

    auto* commands = new QToolButton;
    commands->setObjectName("graphicsCommands");
    commands->setText(tr("&Commands"));
    commands->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(commands);
    addCommand(menu, tr("&Edit"), "bitmapEdit");
    addCommand(menu, tr("&Load"), "bitmapLoad");
    addCommand(menu, tr("&Save"), "bitmapSave");
    menu->addSeparator();
    addCommand(menu, tr("&Load All"), "bitmapLoadAll");
    addCommand(menu, tr("&Save All"), "bitmapSaveAll");
    commands->setMenu(menu);

    preview_ = new QLabel;
    preview_->setObjectName("preview");
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setMinimumSize(96, 64);
    auto* previewLayout = new QVBoxLayout;
    previewLayout->addWidget(preview_);
    auto* previewBox = Group(tr("Preview"), previewLayout);

    aniId_ = new QComboBox;
    aniId_->setObjectName("aniId");
    connect(aniId_, &QComboBox::currentIndexChanged, this,
            [this] { onUserChange("animationChosen"); });
    aniLength_ = new QLineEdit;
    aniLength_->setObjectName("aniLength");
    aniLength_->setReadOnly(true);
    frame_ = new QComboBox;
    frame_->setObjectName("frame");
    frameUpDown_ = new QSpinBox;
    frameUpDown_->setObjectName("frameUpDown");
    frameUpDown_->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    frameUpDown_->setFixedWidth(18);
    frameUpDown_->setRange(0, 0);
    connect(frame_, &QComboBox::currentIndexChanged, this,
            [this] { onUserChange("frameChanged"); });
    // The up-down steps through the frame selector.
    connect(frameUpDown_, &QSpinBox::valueChanged, this, [this](int v) {
        if (!rendering() && v < frame_->count()) frame_->setCurrentIndex(v);
    });
    frameBmpId_ = new QComboBox;
    frameBmpId_->setObjectName("frameBmpId");
    connect(frameBmpId_, &QComboBox::currentIndexChanged, this,
            [this] { onUserChange("frameBitmapChosen"); });
    animate_ = new QCheckBox(tr("Animate"));
    animate_->setObjectName("animate");
    connect(animate_, &QCheckBox::toggled, this, [this] { onUserChange("animate"); });

    animation_ = new QTimer(this);
    animation_->setObjectName("animationTimer");
    animation_->setInterval(kAnimationInterval);
    connect(animation_, &QTimer::timeout, this, [this] { run("animationTick", {}); });

    auto* grid = new QGridLayout;
    grid->setSpacing(3);
    grid->addWidget(new QLabel(tr("Bmp ID:")), 0, 0);
    grid->addWidget(bmpId_, 0, 1);
    grid->addWidget(bmpWidth_, 1, 0, 1, 2);
    grid->addWidget(bmpHeight_, 2, 0, 1, 2);
    grid->addWidget(commands, 3, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(previewBox, 0, 2, 4, 2);
    auto* aniBox = new QGridLayout;
    aniBox->addWidget(new QLabel(tr("Ani ID:")), 0, 0);
    aniBox->addWidget(aniId_, 0, 1);
    aniBox->addWidget(new QLabel(tr("Length:")), 0, 2);
    aniBox->addWidget(aniLength_, 0, 3);
    aniBox->addWidget(new QLabel(tr("Frame:")), 1, 0);
    auto* frameRow = new QHBoxLayout;
    frameRow->setSpacing(0);
    frameRow->addWidget(frame_, 1);
    frameRow->addWidget(frameUpDown_);
    aniBox->addLayout(frameRow, 1, 1);
    aniBox->addWidget(new QLabel(tr("Bmp ID:")), 1, 2);
    aniBox->addWidget(frameBmpId_, 1, 3);
    aniBox->addWidget(animate_, 2, 0, 1, 2);
    aniBox->setColumnStretch(1, 1);
    aniBox->setColumnStretch(3, 1);

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(3, 3, 3, 3);
    v->addLayout(grid);
    v->addLayout(aniBox);
    v->addStretch();
}

void GraphicsPage::onUserChange(const char* command) {
    if (!rendering()) run(command, {});
}

void GraphicsPage::addCommand(QMenu* menu, const QString& caption, const char* command) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(command));
    connect(a, &QAction::triggered, this, [this, command] { run(command, {}); });
}

void GraphicsPage::render() {
    QSignalBlocker b1(frame_), b2(frameUpDown_);
    frameUpDown_->setRange(0, std::max(0, frame_->count() - 1));
    frameUpDown_->setValue(std::max(0, frame_->currentIndex()));
}

void GraphicsPage::closing() {
    animation_->stop();
}

}  // namespace brivant
