#include "ui/Brivant.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/Clipboard.h"
#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "core/Interaction.h"
#include "image/PhoneTypes.h"
#include "core/UserError.h"
#include "ppm/FreeSpace.h"
#include "texts/Languages.h"
#include "texts/Operators.h"
#include "tones/AlertTones.h"
#include "tones/RingtoneCommands.h"
#include "ui/About.h"
#include "ui/QtInteraction.h"

namespace brivant {

namespace {

constexpr int kAnimationInterval = 300;

const char* const kAlertTones[] = {"Standard",        "Special",     "Beep Once", "Ascending",
                                   "Start/Shut Tone", "Alarm Clock", "Calendar",  "System Error"};

// Names in lists and selectors are bytes of the image, one character each.
QString ImageText(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QStringList Row(const std::string& a, const std::string& b, const std::string& c) {
    return {ImageText(a), ImageText(b), ImageText(c)};
}

void SetTextIfChanged(QLineEdit* field, const QString& text) {
    // Rewriting an unchanged field would move the cursor of a user who is typing in it.
    if (field->text() != text) field->setText(text);
}

void SetItems(QComboBox* box, const std::vector<std::string>& items) {
    QStringList texts;
    for (const auto& s : items) texts << ImageText(s);
    QStringList current;
    for (int i = 0; i < box->count(); ++i) current << box->itemText(i);
    if (current == texts) return;
    box->clear();
    box->addItems(texts);
}

QGroupBox* Group(const QString& title, QLayout* layout) {
    auto* g = new QGroupBox(title);
    layout->setContentsMargins(4, 2, 4, 3);
    layout->setSpacing(2);
    g->setLayout(layout);
    return g;
}

}  // namespace

TMain::TMain(Interaction& ui, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui_(ui) {
    setObjectName("TMain");
    setWindowTitle(QString::fromLatin1(kMainCaption));
    // The window keeps the classic size of a small desktop tool; a compact face keeps every
    // caption legible in it whatever the desktop's default font is.
    QFont compact(QStringLiteral("DejaVu Sans Condensed"));
    compact.setStyleHint(QFont::SansSerif);
    compact.setPointSizeF(7.5);
    setFont(compact);
    setFixedSize(kClientWidth, kClientHeight);
    setAcceptDrops(true);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(4, 4, 4, 4);
    root->setSpacing(3);
    buildTopRow();

    auto* groups = new QVBoxLayout;
    groups->setSpacing(2);
    groups->addWidget(buildAlertTones());
    groups->addWidget(buildSecurityCode());
    groups->addWidget(buildFreeSpace());
    groups->addWidget(buildMiscellaneous());
    groups->addStretch();
    auto* groupColumn = new QWidget;
    groupColumn->setLayout(groups);
    groups->setContentsMargins(0, 0, 0, 0);
    groupColumn->setFixedWidth(206);

    tabs_ = new QTabWidget;
    tabs_->setObjectName("tabs");
    tabs_->addTab(buildTonesTab(), tr("Tones"));
    tabs_->addTab(buildGraphicsTab(), tr("Graphics"));
    tabs_->addTab(buildMenuTab(), tr("Menu"));
    tabs_->addTab(buildLanguagesTab(), tr("Languages"));
    tabs_->addTab(buildOperatorsTab(), tr("Operators"));
    connect(tabs_, &QTabWidget::currentChanged, this, &TMain::tabChosen);

    auto* body = new QHBoxLayout;
    body->setSpacing(4);
    body->addWidget(groupColumn);
    body->addWidget(tabs_, 1);
    root->addLayout(body, 1);

    animation_ = new QTimer(this);
    animation_->setObjectName("animationTimer");
    animation_->setInterval(kAnimationInterval);
    connect(animation_, &QTimer::timeout, this,
            [this] { run("animationTick", [this] { onAnimationTick(0); }); });

    // Every step that stores scratch text also offers it to the desktop, as the user may
    // want to paste what a command copied.
    BindClipboard({[](const std::string& text) {
        if (QClipboard* cb = QGuiApplication::clipboard())
            cb->setText(QString::fromStdString(text));
    }});

    about_ = new TAboutBox(this);
    refresh();
}

TMain::~TMain() {
    UnbindClipboard();
}

void TMain::buildTopRow() {
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    auto* fileLabel = new QLabel(tr("Flash File:"));
    fileField_ = new QLineEdit;
    fileField_->setObjectName("fileName");
    fileField_->setReadOnly(true);
    openButton_ = new QToolButton;
    openButton_->setObjectName("openButton");
    openButton_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    openButton_->setToolTip(tr("Open"));
    connect(openButton_, &QToolButton::clicked, this, &TMain::openCommand);

    auto* typeLabel = new QLabel(tr("Phone Type:"));
    phoneType_ = new QComboBox;
    phoneType_->setObjectName("phoneType");
    phoneType_->setMinimumContentsLength(9);
    phoneType_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(phoneType_, &QComboBox::currentIndexChanged, this, &TMain::phoneTypeChosen);
    saveButton_ = new QToolButton;
    saveButton_->setObjectName("saveButton");
    saveButton_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    saveButton_->setToolTip(tr("Save"));
    connect(saveButton_, &QToolButton::clicked, this, &TMain::saveCommand);

    aboutButton_ = new QPushButton(tr("&About"));
    aboutButton_->setObjectName("aboutButton");
    connect(aboutButton_, &QPushButton::clicked, this, &TMain::aboutCommand);

    row->addWidget(fileLabel);
    row->addWidget(fileField_, 1);
    row->addWidget(openButton_);
    row->addSpacing(4);
    row->addWidget(typeLabel);
    row->addWidget(phoneType_);
    row->addWidget(saveButton_);
    row->addSpacing(4);
    row->addWidget(aboutButton_);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

QWidget* TMain::buildAlertTones() {
    alertTone_ = new QComboBox;
    alertTone_->setObjectName("alertTone");
    for (const char* t : kAlertTones) alertTone_->addItem(QString::fromLatin1(t));
    alertTone_->setCurrentIndex(0);
    alertChange_ = new QRadioButton(tr("Change"));
    alertChange_->setObjectName("alertChange");
    alertChange_->setChecked(true);
    // The choice lives in the editor: the 62XX/7110 alert tones work through it.
    connect(alertTone_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!rendering_ && i >= 0) ed_.tones.alertKind = i;
    });
    connect(alertChange_, &QRadioButton::toggled, this, [this](bool on) {
        if (!rendering_) ed_.tones.alertChange = on;
    });
    alertRetrieve_ = new QRadioButton(tr("Retrieve"));
    alertRetrieve_->setObjectName("alertRetrieve");
    auto* doIt = new QPushButton(tr("&Do It"));
    doIt->setObjectName("alertDoIt");
    connect(doIt, &QPushButton::clicked, this,
            [this] { run("alertTone", [this] { onAlertToneDoIt(ed_.tones.alertKind); }); });

    auto* grid = new QGridLayout;
    grid->addWidget(alertTone_, 0, 0, 1, 2);
    grid->addWidget(doIt, 0, 2);
    grid->addWidget(alertChange_, 1, 0);
    grid->addWidget(alertRetrieve_, 1, 1);
    auto* g = Group(tr("Alert Tones"), grid);
    g->setObjectName("alertTonesGroup");
    return g;
}

QWidget* TMain::buildSecurityCode() {
    const QString captions[4] = {tr("&Whole Messages Menu"), tr("&Inbox"), tr("Outbo&x"),
                                 tr("Manua&l")};
    auto* options = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        securityOption_[i] = new QRadioButton(captions[i]);
        securityOption_[i]->setObjectName(QStringLiteral("securityOption%1").arg(i));
        options->addButton(securityOption_[i], i);
    }
    connect(options, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (rendering_ || !on) return;
        ed_.security.securityOption = id;
        refresh();
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
        securityOffset_[i]->setReadOnly(true);
        securityOffset_[i]->setEnabled(false);
        securityBrowse_[i] = new QToolButton;
        securityBrowse_[i]->setObjectName(QStringLiteral("securityBrowse%1").arg(i));
        securityBrowse_[i]->setText(QStringLiteral("..."));
        connect(securityBrowse_[i], &QToolButton::clicked, this,
                [this, i] { run("securityBrowse", [this, i] { onSecurityBrowse(i); }); });
        fields->addWidget(securityOffset_[i], 1);
        fields->addWidget(securityBrowse_[i]);
    }
    grid->addLayout(fields, 2, 0, 1, 3);
    patchButton_ = new QPushButton(tr("&Patch Now!!!"));
    patchButton_->setObjectName("patchButton");
    connect(patchButton_, &QPushButton::clicked, this,
            [this] { run("securityPatch", [this] { onSecurityPatch(0); }); });
    grid->addWidget(patchButton_, 3, 0, 1, 3);
    auto* g = Group(tr("Security Code"), grid);
    g->setObjectName("securityGroup");
    return g;
}

QWidget* TMain::buildFreeSpace() {
    toMcu_ = new QRadioButton(tr("MCU"));
    toMcu_->setObjectName("adjustMcu");
    toMcu_->setChecked(true);
    toPpm_ = new QRadioButton(tr("PPM"));
    toPpm_->setObjectName("adjustPpm");
    mcuFree_ = new QLineEdit;
    mcuFree_->setObjectName("mcuFree");
    ppmFree_ = new QLineEdit;
    ppmFree_->setObjectName("ppmFree");
    // The adjust command takes its limits from these texts, edits included.
    connect(mcuFree_, &QLineEdit::textEdited, this,
            [this](const QString& t) { ed_.mcuFreeField = t.toStdString(); });
    connect(ppmFree_, &QLineEdit::textEdited, this,
            [this](const QString& t) { ed_.ppmFreeField = t.toStdString(); });
    auto* adjust = new QPushButton(tr("Ad&just"));
    adjust->setObjectName("adjustButton");
    adjust->setMaximumWidth(54);
    // Room for the seven digits of a large image's free space.
    mcuFree_->setMinimumWidth(58);
    ppmFree_->setMinimumWidth(58);
    connect(adjust, &QPushButton::clicked, this, &TMain::adjustCommand);

    auto* grid = new QGridLayout;
    grid->addWidget(toMcu_, 0, 0);
    grid->addWidget(mcuFree_, 0, 1);
    grid->addWidget(new QLabel(tr("bytes")), 0, 2);
    grid->addWidget(toPpm_, 1, 0);
    grid->addWidget(ppmFree_, 1, 1);
    grid->addWidget(new QLabel(tr("bytes")), 1, 2);
    grid->addWidget(adjust, 0, 3, 2, 1);
    grid->setColumnStretch(1, 1);
    auto* g = Group(tr("Free Space"), grid);
    g->setObjectName("freeSpaceGroup");
    return g;
}

QWidget* TMain::buildMiscellaneous() {
    misc_ = new QComboBox;
    misc_->setObjectName("misc");
    misc_->addItems({tr("Fading Leds"), tr("Inverted LCD")});
    misc_->setCurrentIndex(0);
    auto* doIt = new QPushButton(tr("Do I&t"));
    doIt->setObjectName("miscDoIt");
    connect(doIt, &QPushButton::clicked, this,
            [this] { run("misc", [this] { onMiscDoIt(misc_->currentIndex()); }); });
    auto* row = new QHBoxLayout;
    row->addWidget(misc_, 1);
    row->addWidget(doIt);
    auto* g = Group(tr("Miscellaneous"), row);
    g->setObjectName("miscGroup");
    return g;
}

QTreeWidget* TMain::makeList(const char* name, const QStringList& headers,
                             const std::vector<int>& widths) {
    auto* tree = new QTreeWidget;
    tree->setObjectName(QString::fromLatin1(name));
    tree->setRootIsDecorated(false);
    tree->setUniformRowHeights(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setHeaderLabels(headers);
    tree->header()->setStretchLastSection(false);
    for (std::size_t i = 0; i < widths.size(); ++i)
        tree->setColumnWidth(static_cast<int>(i), widths[i]);
    tree->setContextMenuPolicy(Qt::NoContextMenu);
    tree->installEventFilter(this);
    return tree;
}

QAction* TMain::addEntry(QMenu* menu, const QString& caption, const char* command,
                         void (TMain::*handler)(int), ListView* needsRow) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(command));
    connect(a, &QAction::triggered, this, [this, command, handler, needsRow] {
        const int row = needsRow ? selectedRow(*needsRow) : -1;
        // An entry about one row has nothing to work on when the click hit no row.
        if (needsRow && row < 0) return;
        run(command, [this, handler, row] { (this->*handler)(row); });
    });
    return a;
}

QWidget* TMain::buildTonesTab() {
    tones_.tree = makeList("tonesList", {tr("RingTone"), tr("ID"), tr("Length")}, {100, 80, 80});
    tones_.menu = new QMenu(tones_.tree);
    QMenu* m = tones_.menu;
    addEntry(m, tr("&Change"), "toneChange", &TMain::onToneChange, &tones_);
    toneAdd_ = addEntry(m, tr("&Add"), "toneAdd", &TMain::onToneAdd, nullptr);
    addEntry(m, tr("&Retrieve"), "toneRetrieve", &TMain::onToneRetrieve, &tones_);
    toneDelete_ = addEntry(m, tr("&Delete"), "toneDelete", &TMain::onToneDelete, &tones_);
    m->addSeparator();
    addEntry(m, tr("Retrie&ve All"), "toneRetrieveAll", &TMain::onToneRetrieveAll, nullptr);
    addEntry(m, tr("&Load All"), "toneLoadAll", &TMain::onToneLoadAll, nullptr);
    connect(tones_.tree, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!rendering_) ed_.tones.selectedRingtone = selectedRow(tones_);
    });
    connect(tones_.tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { showListMenu(tones_, p); });

    toneCount_ = new QLabel;
    toneCount_->setObjectName("toneCount");
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(2);
    v->addWidget(tones_.tree, 1);
    v->addWidget(toneCount_);
    return page;
}

QWidget* TMain::buildGraphicsTab() {
    bmpId_ = new QComboBox;
    bmpId_->setObjectName("bmpId");
    connect(bmpId_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!rendering_) run("bitmapChosen", [this, i] { onBitmapChosen(i); });
    });
    bmpWidth_ = new QLabel(tr("Width:"));
    bmpWidth_->setObjectName("bmpWidth");
    bmpHeight_ = new QLabel(tr("Height:"));
    bmpHeight_->setObjectName("bmpHeight");

    auto* commands = new QToolButton;
    commands->setObjectName("graphicsCommands");
    commands->setText(tr("&Commands"));
    commands->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(commands);
    auto add = [this, menu](const QString& caption, const char* name, void (TMain::*h)(int)) {
        addEntry(menu, caption, name, h, nullptr);
    };
    add(tr("&Edit"), "bitmapEdit", &TMain::onBitmapEdit);
    add(tr("&Load"), "bitmapLoad", &TMain::onBitmapLoad);
    add(tr("&Save"), "bitmapSave", &TMain::onBitmapSave);
    menu->addSeparator();
    add(tr("&Load All"), "bitmapLoadAll", &TMain::onBitmapLoadAll);
    add(tr("&Save All"), "bitmapSaveAll", &TMain::onBitmapSaveAll);
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
    connect(aniId_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!rendering_) run("animationChosen", [this, i] { onAnimationChosen(i); });
    });
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
    connect(frame_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!rendering_) run("frameChanged", [this, i] { onFrameChanged(i); });
    });
    connect(frameUpDown_, &QSpinBox::valueChanged, this, [this](int v) {
        if (!rendering_ && v < frame_->count()) frame_->setCurrentIndex(v);
    });
    frameBmpId_ = new QComboBox;
    frameBmpId_->setObjectName("frameBmpId");
    connect(frameBmpId_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!rendering_) run("frameBitmapChosen", [this, i] { onFrameBitmapChosen(i); });
    });
    animate_ = new QCheckBox(tr("Animate"));
    animate_->setObjectName("animate");
    connect(animate_, &QCheckBox::toggled, this, [this](bool on) {
        if (!rendering_) run("animate", [this, on] { onAnimateToggled(on ? 1 : 0); });
    });

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

    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(3, 3, 3, 3);
    v->addLayout(grid);
    v->addLayout(aniBox);
    v->addStretch();
    return page;
}

QWidget* TMain::buildMenuTab() {
    menuLanguage_ = new QComboBox;
    menuLanguage_->setObjectName("menuLanguage");
    connect(menuLanguage_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!rendering_) run("menuLanguageChosen", [this, i] { onMenuLanguageChosen(i); });
    });
    menuBack_ = new QToolButton;
    menuBack_->setObjectName("menuBack");
    menuBack_->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    menuBack_->setToolTip(tr("Back"));
    connect(menuBack_, &QToolButton::clicked, this,
            [this] { run("menuBack", [this] { onMenuBack(0); }); });
    menuCount_ = new QLabel(QStringLiteral("Menu Count: 0"));
    menuCount_->setObjectName("menuCount");

    menu_.tree =
        makeList("menuList", {tr("Menu Item"), tr("Text Ptr"), tr("Function Ptr")}, {100, 80, 79});
    menu_.menu = new QMenu(menu_.tree);
    QMenu* m = menu_.menu;
    addEntry(m, tr("&Edit"), "menuEdit", &TMain::onMenuEdit, &menu_);
    addEntry(m, tr("Edit &SubMenu"), "menuEditSubMenu", &TMain::onMenuEditSubMenu, &menu_);
    addEntry(m, tr("&Add"), "menuAdd", &TMain::onMenuAdd, nullptr);
    addEntry(m, tr("&Delete"), "menuDelete", &TMain::onMenuDelete, &menu_);
    m->addSeparator();
    QMenu* move = m->addMenu(tr("&Move"));
    QAction* up = addEntry(move, tr("&Up"), "menuMoveUp", &TMain::onMenuMoveUp, &menu_);
    up->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    up->setShortcutContext(Qt::WidgetShortcut);  // the list's own key handling runs it
    QAction* down = addEntry(move, tr("&Down"), "menuMoveDown", &TMain::onMenuMoveDown, &menu_);
    down->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    down->setShortcutContext(Qt::WidgetShortcut);
    connect(menu_.tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { showListMenu(menu_, p); });

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(tr("Language:")));
    top->addWidget(menuLanguage_, 1);
    top->addWidget(menuBack_);
    top->addWidget(menuCount_);
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(2);
    v->addLayout(top);
    v->addWidget(menu_.tree, 1);
    return page;
}

QWidget* TMain::buildLanguagesTab() {
    languages_.tree =
        makeList("languagesList", {tr("Language"), tr("ID"), tr("Length")}, {100, 80, 80});
    languages_.menu = new QMenu(languages_.tree);
    QMenu* m = languages_.menu;
    languageEdit_ = addEntry(m, tr("&Edit"), "languageEdit", &TMain::onLanguageEdit, &languages_);
    addEntry(m, tr("&Add"), "languageAdd", &TMain::onLanguageAdd, nullptr);
    addEntry(m, tr("&Retrieve"), "languageRetrieve", &TMain::onLanguageRetrieve, &languages_);
    addEntry(m, tr("&Delete"), "languageDelete", &TMain::onLanguageDelete, &languages_);
    m->addSeparator();
    addEntry(m, tr("Retrie&ve All"), "languageRetrieveAll", &TMain::onLanguageRetrieveAll, nullptr);
    addEntry(m, tr("&Load all"), "languageLoadAll", &TMain::onLanguageLoadAll, nullptr);
    connect(languages_.tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { showListMenu(languages_, p); });

    languageCount_ = new QLabel;
    languageCount_->setObjectName("languageCount");
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(2);
    v->addWidget(languages_.tree, 1);
    v->addWidget(languageCount_);
    return page;
}

QWidget* TMain::buildOperatorsTab() {
    operators_.tree =
        makeList("operatorsList", {tr("Countries"), tr("Code"), tr("#Operators")}, {100, 80, 80});
    operators_.menu = new QMenu(operators_.tree);
    QMenu* m = operators_.menu;
    addEntry(m, tr("&Edit"), "operatorEdit", &TMain::onOperatorEdit, &operators_);
    QMenu* add = m->addMenu(tr("&Add"));
    addEntry(add, tr("&New..."), "operatorAddNew", &TMain::onOperatorAddNew, nullptr);
    addEntry(add, tr("&Load from file"), "operatorAddFromFile", &TMain::onOperatorAddFromFile,
             nullptr);
    addEntry(m, tr("&Retrieve"), "operatorRetrieve", &TMain::onOperatorRetrieve, &operators_);
    addEntry(m, tr("&Delete"), "operatorDelete", &TMain::onOperatorDelete, &operators_);
    m->addSeparator();
    addEntry(m, tr("Retrie&ve All"), "operatorRetrieveAll", &TMain::onOperatorRetrieveAll, nullptr);
    addEntry(m, tr("&Load All"), "operatorLoadAll", &TMain::onOperatorLoadAll, nullptr);
    connect(operators_.tree, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { showListMenu(operators_, p); });

    countryCount_ = new QLabel;
    countryCount_->setObjectName("countryCount");
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(3, 3, 3, 3);
    v->setSpacing(2);
    v->addWidget(operators_.tree, 1);
    v->addWidget(countryCount_);
    return page;
}

void TMain::centreOnScreen() {
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

// ---------------------------------------------------------------------------------------
// Running commands and showing their results

void TMain::run(const char* name, const std::function<void()>& body) {
    emit commandRan(QString::fromLatin1(name));
    try {
        body();
    } catch (const UserError& e) {
        ui_.error(e.what());
    } catch (const std::exception& e) {
        // Whatever else a command trips over must not take the user's image down with the
        // window; it ends the command like any other failure.
        ui_.error(e.what());
    }
    refresh();
}

void TMain::renderList(ListView& list, const std::vector<QStringList>& rows) {
    // Rebuilding an unchanged list would drop the user's selection after every command.
    if (rows == list.shown) return;
    list.tree->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const QStringList& r : rows) items << new QTreeWidgetItem(r);
    list.tree->addTopLevelItems(items);
    list.shown = rows;
}

void TMain::refresh() {
    const bool was = rendering_;
    rendering_ = true;
    const ToneState& tones = ed_.tones;
    const TextState& texts = ed_.texts;
    const SecurityState& sec = ed_.security;

    fileField_->setText(FromCorePath(ed_.fileNameField));

    {
        QSignalBlocker block(phoneType_);
        const auto& entries = ed_.phoneList.entries;
        if (phoneType_->count() != static_cast<int>(entries.size())) {
            phoneType_->clear();
            for (const auto& e : entries) phoneType_->addItem(FromCore(e));
        } else {
            for (int i = 0; i < phoneType_->count(); ++i)
                phoneType_->setItemText(i, FromCore(entries[static_cast<std::size_t>(i)]));
        }
        phoneType_->setCurrentIndex(ed_.phoneList.selected);
        phoneType_->setEnabled(ed_.phoneList.enabled);
    }

    patchButton_->setEnabled(sec.patchEnabled);
    const int option =
        sec.securityOption >= 0 && sec.securityOption < 4 ? sec.securityOption : 0;
    securityOption_[option]->setChecked(true);
    securityOffset_[0]->setText(FromCore(sec.securityOffset1));
    securityOffset_[1]->setText(FromCore(sec.securityOffset2));
    // The browse buttons pick the items of a manual patch and mean nothing otherwise.
    for (QToolButton* b : securityBrowse_) b->setEnabled(option == 3);

    SetTextIfChanged(mcuFree_, FromCore(ed_.mcuFreeField));
    SetTextIfChanged(ppmFree_, FromCore(ed_.ppmFreeField));

    std::vector<QStringList> rows;
    for (const auto& r : tones.ringtones) rows.push_back(Row(r.name, r.id, r.length));
    renderList(tones_, rows);
    // Commands may pick the ringtone row themselves (the 62XX/7110 alert tones do).
    if (selectedRow(tones_) != tones.selectedRingtone) {
        tones_.tree->clearSelection();
        if (QTreeWidgetItem* item = tones_.tree->topLevelItem(tones.selectedRingtone)) {
            item->setSelected(true);
            tones_.tree->setCurrentItem(item);
        }
    }
    {
        QSignalBlocker b1(alertTone_), b2(alertChange_), b3(alertRetrieve_);
        if (tones.alertKind >= 0 && tones.alertKind < alertTone_->count())
            alertTone_->setCurrentIndex(tones.alertKind);
        (tones.alertChange ? alertChange_ : alertRetrieve_)->setChecked(true);
    }
    rows.clear();
    for (const auto& r : texts.languages) rows.push_back(Row(r.language, r.id, r.length));
    renderList(languages_, rows);
    rows.clear();
    for (const auto& r : texts.countries) rows.push_back(Row(r.country, r.code, r.operators));
    renderList(operators_, rows);
    rows.clear();
    renderList(menu_, rows);

    toneCount_->setText(FromCore(tones.ringtoneCount));
    languageCount_->setText(FromCore(texts.languageCount));
    countryCount_->setText(FromCore(texts.countryCount));

    {
        QSignalBlocker b1(menuLanguage_), b2(bmpId_), b3(aniId_), b4(frame_), b5(frameBmpId_),
            b6(frameUpDown_);
        SetItems(menuLanguage_, texts.menuLanguages);
        frameUpDown_->setRange(0, std::max(0, frame_->count() - 1));
        frameUpDown_->setValue(std::max(0, frame_->currentIndex()));
    }

    {
        QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(static_cast<int>(ed_.activeTab));
    }
    updateListMenus();
    rendering_ = was;
}

// ---------------------------------------------------------------------------------------
// Lists: context menus and keys

void TMain::updateListMenus() {
    for (ListView* l : {&tones_, &menu_, &languages_, &operators_})
        l->tree->setContextMenuPolicy(l->tree->topLevelItemCount() > 0 ? Qt::CustomContextMenu
                                                                       : Qt::NoContextMenu);
    // Adding and deleting ringtones, and editing language texts, work differently in the
    // 62XX/7110 layout and are not offered there.
    const bool notType62 = !ed_.Is62xx();
    toneAdd_->setEnabled(notType62 && ed_.tones.ringtoneAddEnabled);
    toneDelete_->setEnabled(notType62);
    languageEdit_->setEnabled(notType62);
}

void TMain::showListMenu(ListView& list, const QPoint& pos) {
    if (list.tree->topLevelItemCount() == 0) return;
    updateListMenus();
    list.menu->popup(list.tree->viewport()->mapToGlobal(pos));
}

int TMain::selectedRow(const ListView& list) const {
    const QList<QTreeWidgetItem*> sel = list.tree->selectedItems();
    if (sel.isEmpty()) return -1;
    return list.tree->indexOfTopLevelItem(sel.front());
}

bool TMain::listKey(ListView& list, QKeyEvent* key) {
    const int row = selectedRow(list);
    if (row < 0) return false;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool del = key->key() == Qt::Key_Delete;
    auto go = [this, row](const char* name, void (TMain::*h)(int)) {
        run(name, [this, row, h] { (this->*h)(row); });
        return true;
    };
    if (mods != Qt::NoModifier) {
        // Moving menu items takes Ctrl alone: Ctrl+Shift+arrows keep their list meaning.
        if (&list != &menu_ || mods != Qt::ControlModifier) return false;
        if (key->key() == Qt::Key_Up) return go("menuMoveUp", &TMain::onMenuMoveUp);
        if (key->key() == Qt::Key_Down) return go("menuMoveDown", &TMain::onMenuMoveDown);
        return false;
    }
    if (&list == &tones_) {
        if (enter) return go("toneChange", &TMain::onToneChange);
        if (del) return go("toneDelete", &TMain::onToneDelete);
    } else if (&list == &languages_) {
        if (enter) return go("languageEdit", &TMain::onLanguageEdit);
        if (del) return go("languageDelete", &TMain::onLanguageDelete);
    } else if (&list == &operators_) {
        if (enter) return go("operatorEdit", &TMain::onOperatorEdit);
        if (del) return go("operatorDelete", &TMain::onOperatorDelete);
    } else if (&list == &menu_) {
        if (enter) return go("menuEdit", &TMain::onMenuEdit);
        if (del) return go("menuDelete", &TMain::onMenuDelete);
    }
    return false;
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    for (ListView* l : {&tones_, &menu_, &languages_, &operators_}) {
        if (watched != l->tree) continue;
        if (event->type() == QEvent::FocusIn) updateListMenus();
        if (event->type() == QEvent::KeyPress && listKey(*l, static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::ShortcutOverride) {
            // Lets Ctrl+Up/Down reach the list before any window shortcut takes them.
            auto* k = static_cast<QKeyEvent*>(event);
            const auto mods = k->modifiers() & ~Qt::KeypadModifier;
            if (l == &menu_ && mods == Qt::ControlModifier &&
                (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
                event->accept();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Window events

void TMain::closeEvent(QCloseEvent* event) {
    // What commands left in the clipboard is scratch; it must not outlive the editor.
    ClipboardClear();
    if (QClipboard* cb = QGuiApplication::clipboard()) cb->clear();
    animation_->stop();
    event->accept();
}

namespace {
QString DroppedFlashFile(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    const QString path = urls.front().toLocalFile();
    if (!path.endsWith(QStringLiteral(".fls"), Qt::CaseInsensitive)) return {};
    return path;
}
}  // namespace

void TMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFlashFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMain::dropEvent(QDropEvent* event) {
    const QString path = DroppedFlashFile(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    openPath(path);
}

// ---------------------------------------------------------------------------------------
// Commands of the core

void TMain::openPath(const QString& path) {
    run("open", [this, &path] { OpenPath(ed_, ui_, ToCorePath(path)); });
    if (!ed_.fileNameField.empty()) aboutButton_->setFocus();
}

void TMain::openCommand() {
    run("open", [this] { OpenCommand(ed_, ui_); });
    if (!ed_.fileNameField.empty()) aboutButton_->setFocus();
}

void TMain::saveCommand() {
    run("save", [this] { SaveCommand(ed_, ui_); });
}

void TMain::adjustCommand() {
    const AdjustTarget target = toMcu_->isChecked() ? AdjustTarget::MCU : AdjustTarget::PPM;
    run("adjust", [this, target] { AdjustSpace(ed_, ui_, target); });
}

void TMain::phoneTypeChosen(int index) {
    if (rendering_ || index < 0) return;
    run("phoneType", [this, index] { ChoosePhoneType(ed_, ui_, index); });
}

void TMain::tabChosen(int index) {
    if (rendering_ || index < 0) return;
    run("tab", [this, index] { TabChanged(ed_, ui_, static_cast<Tab>(index)); });
}

void TMain::aboutCommand() {
    run("about", [this] { about_->exec(); });
}

// ---------------------------------------------------------------------------------------
// Feature commands. The empty ones belong to features still to come.

void TMain::onAlertToneDoIt(int tone) {
    AlertToneDoIt(ed_, ed_.tones, ui_, tone, ed_.tones.alertChange);
}
void TMain::onSecurityPatch(int) {}   // security-code patch of the Messages menu
void TMain::onSecurityBrowse(int) {}  // pick a menu item for the manual patch
void TMain::onMiscDoIt(int) {}        // fading LEDs or inverted LCD patch
void TMain::onToneChange(int row) {
    ChangeRingtone(ed_, ed_.tones, ui_, row);
}
void TMain::onToneAdd(int) {
    AddRingtone(ed_, ed_.tones, ui_);
}
void TMain::onToneRetrieve(int row) {
    RetrieveRingtone(ed_, ed_.tones, ui_, row);
}
void TMain::onToneDelete(int row) {
    DeleteRingtone(ed_, ed_.tones, ui_, row);
}
void TMain::onToneRetrieveAll(int) {
    RetrieveAllRingtones(ed_, ui_);
}
void TMain::onToneLoadAll(int) {
    LoadAllRingtones(ed_, ed_.tones, ui_);
}
void TMain::onBitmapEdit(int) {}          // open the bitmap in the Image Editor
void TMain::onBitmapLoad(int) {}          // import the bitmap from a file
void TMain::onBitmapSave(int) {}          // export the bitmap to a file
void TMain::onBitmapLoadAll(int) {}       // import every bitmap
void TMain::onBitmapSaveAll(int) {}       // export every bitmap
void TMain::onBitmapChosen(int) {}        // show the chosen bitmap
void TMain::onAnimationChosen(int) {}     // show the chosen animation
void TMain::onFrameChanged(int) {}        // show the chosen frame
void TMain::onFrameBitmapChosen(int) {}   // give the frame another bitmap
void TMain::onAnimateToggled(int) {}      // start or stop the animation timer
void TMain::onAnimationTick(int) {}       // next animation frame
void TMain::onMenuLanguageChosen(int) {}  // list the menu in the chosen language
void TMain::onMenuBack(int) {}            // back to the parent menu level
void TMain::onMenuEdit(int) {}            // Menu Editor for the item
void TMain::onMenuEditSubMenu(int) {}     // into the item's submenu
void TMain::onMenuAdd(int) {}             // Add Menu
void TMain::onMenuDelete(int) {}          // delete the item
void TMain::onMenuMoveUp(int) {}          // move the item up
void TMain::onMenuMoveDown(int) {}        // move the item down
void TMain::onLanguageEdit(int row) {
    EditLanguage(ed_, ed_.texts, ui_, row);
}
void TMain::onLanguageAdd(int) {
    AddLanguage(ed_, ed_.texts, ui_);
}
void TMain::onLanguageRetrieve(int row) {
    RetrieveLanguage(ed_, ed_.texts, ui_, row);
}
void TMain::onLanguageDelete(int row) {
    DeleteLanguage(ed_, ed_.texts, ui_, row);
}
void TMain::onLanguageRetrieveAll(int) {
    RetrieveAllLanguages(ed_, ui_);
}
void TMain::onLanguageLoadAll(int) {
    LoadAllLanguages(ed_, ed_.texts, ui_);
}
void TMain::onOperatorEdit(int row) {
    EditOperators(ed_, ed_.texts, ui_, row);
}
void TMain::onOperatorAddNew(int) {
    NewCountry(ed_, ed_.texts, ui_);
}
void TMain::onOperatorAddFromFile(int) {
    LoadCountry(ed_, ed_.texts, ui_);
}
void TMain::onOperatorRetrieve(int row) {
    RetrieveCountry(ed_, ed_.texts, ui_, row);
}
void TMain::onOperatorDelete(int row) {
    DeleteCountry(ed_, ed_.texts, ui_, row);
}
void TMain::onOperatorRetrieveAll(int) {
    RetrieveAllOperators(ed_, ui_);
}
void TMain::onOperatorLoadAll(int) {
    LoadAllOperators(ed_, ed_.texts, ui_);
}

}  // namespace brivant
