#include "ui/Brivant.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/FileFlow.h"
#include "app/PhoneTypeFlow.h"
#include "app/UndoFlow.h"
#include "check/Check.h"
#include "core/Clipboard.h"
#include "core/Interaction.h"
#include "core/UserError.h"
#include "ui/About.h"
#include "ui/CommandGroups.h"
#include "ui/ListView.h"
#include "ui/QtInteraction.h"
#include "ui/TabPage.h"
#include "ui/TabPages.h"
#include "ui/WidgetHelpers.h"

namespace brivant {

// Passes every question on to the user's port and notes what the running command did
// through it: which file it was given to write, and whether it failed.
class WatchedInteraction : public Interaction {
  public:
    explicit WatchedInteraction(Interaction& ui) : ui_(ui) {}

    void reset() {
        written.reset();
        failed = false;
    }
    std::optional<std::string> written;
    bool failed = false;

    std::optional<std::string> askOpenFile(const FileDialog& d) override {
        return ui_.askOpenFile(d);
    }
    std::optional<std::string> askSaveFile(const FileDialog& d) override {
        auto path = ui_.askSaveFile(d);
        if (path) written = path;
        return path;
    }
    void tell(const std::string& text, MessageKind kind) override {
        if (kind == MessageKind::Error) failed = true;
        ui_.tell(text, kind);
    }
    std::optional<std::string> askText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override {
        return ui_.askText(title, prompt, initial);
    }
    bool confirmChecksum(const std::string& path) override { return ui_.confirmChecksum(path); }
    SaveChoice askSaveChanges(const std::string& q) override { return ui_.askSaveChanges(q); }
    bool askDialog(DialogModel& model) override { return ui_.askDialog(model); }

    Interaction& target() { return ui_; }

  private:
    Interaction& ui_;
};

namespace {
constexpr const char* kWrittenStatus = "Written: %1";
constexpr const char* kChooseTypeFirst = "Choose the phone type first";

// Undo and redo belong to the window whatever control has the focus: a spin box or a text
// field would otherwise take the keys for its own, smaller undo.
bool IsHistoryKey(QKeyEvent* e) {
    return e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo) ||
           (e->modifiers() == Qt::ControlModifier && e->key() == Qt::Key_Y);
}
}  // namespace

TMain::TMain(Interaction& ui, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      watch_(std::make_unique<WatchedInteraction>(ui)),
      ui_(*watch_) {
    // File dialogs start in the current image's folder.
    if (auto* qt = dynamic_cast<QtInteraction*>(&ui))
        qt->currentImage = [this] { return ed_.fileNameField; };
    setObjectName("TMain");
    // Every save is looked at before the checksum question: the user hears of a problem
    // while the old file is still at hand as the .bak. The save itself stands.
    ed_.written = [](Editor& ed, Interaction& port, const std::string& path) {
        if (const auto warning = SavedImageWarning(path, ed.PhoneType())) port.error(*warning);
    };
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
    root->addLayout(buildTopRow());

    groups_ = new CommandGroups(*this);
    groups_->setFixedWidth(206);

    tabs_ = new QTabWidget;
    tabs_->setObjectName("tabs");
    for (const TabPageKind& kind : TabPages()) {
        // The notebook's index is the tab's number in the editor.
        Q_ASSERT(static_cast<int>(kind.tab) == tabs_->count());
        TabPage* page = kind.make(*this);
        pages_.push_back(page);
        tabs_->addTab(page, QString::fromLatin1(kind.caption));
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (rendering_ || index < 0) return;
        run("tab", [this, index] { TabChanged(ed_, ui_, static_cast<Tab>(index)); });
    });

    auto* body = new QHBoxLayout;
    body->setSpacing(4);
    body->addWidget(groups_);
    body->addWidget(tabs_, 1);
    root->addLayout(body, 1);

    status_ = new QStatusBar;
    status_->setObjectName("status");
    status_->setSizeGripEnabled(false);
    root->addWidget(status_);

    auto* undo = undo_ = new QAction(tr("&Undo"), this);
    undo->setObjectName("undoAction");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(undo, &QAction::triggered, this, &TMain::undo);
    addAction(undo);
    auto* redo = redo_ = new QAction(tr("&Redo"), this);
    redo->setObjectName("redoAction");
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(redo, &QAction::triggered, this, &TMain::redo);
    addAction(redo);
    qApp->installEventFilter(this);
    // Offered in every list's context menu too, so that undo can be found without its keys.
    for (TabPage* page : pages_)
        for (ListView* list : page->findChildren<ListView*>()) list->addCommonEntries({undo, redo});

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
    if (auto* qt = dynamic_cast<QtInteraction*>(&watch_->target())) qt->currentImage = nullptr;
    UnbindClipboard();
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    // Declining the control's claim on the keys lets the window's shortcut run.
    if (event->type() == QEvent::ShortcutOverride && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this &&
        IsHistoryKey(static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QLayout* TMain::buildTopRow() {
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    fileField_ = new QLineEdit;
    fileField_->setObjectName("fileName");
    ShowReadOnly(fileField_);
    // Only shows the path: nothing to type, so the focus passes it by.
    fileField_->setFocusPolicy(Qt::NoFocus);
    auto* open = new QToolButton;
    open->setObjectName("openButton");
    open->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    open->setToolTip(tr("Open"));
    connect(open, &QToolButton::clicked, this, [this] {
        if (!settleUnsaved(kSaveBeforeOpen)) return;
        run("open", [this] { OpenCommand(ed_, ui_); });
        opened();
    });

    phoneType_ = new QComboBox;
    phoneType_->setObjectName("phoneType");
    phoneType_->setMinimumContentsLength(9);
    phoneType_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    connect(phoneType_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (rendering_ || index < 0) return;
        // Another type reads every list again: unsaved edits are settled first, as before
        // another file is opened. Cancel leaves the type and the edits as they are.
        if (HasUnsavedWork(ed_)) {
            bool goOn = false;
            run("unsaved", [this, &goOn] { goOn = SettleBeforeTypeChange(ed_, ui_); });
            if (!goOn) return;
        }
        run("phoneType", [this, index] {
            const int before = ed_.PhoneType();
            ChoosePhoneType(ed_, ui_, index);
            if (ed_.PhoneType() == before) return;
            // The image is now read as another type: the steps made under the old one
            // would be taken back under the new one, so the history starts again here,
            // as after an open, and every list is read with the new type.
            ed_.history.Clear();
            RereadImage(ed_, ui_);
        });
    });
    auto* save = new QToolButton;
    saveButton_ = save;
    save->setObjectName("saveButton");
    save->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolTip(tr("Save"));
    connect(save, &QToolButton::clicked, this,
            [this] { run("save", [this] { SaveImage(ed_, ui_); }); });

    aboutButton_ = new QPushButton(tr("&About"));
    aboutButton_->setObjectName("aboutButton");
    connect(aboutButton_, &QPushButton::clicked, this,
            [this] { run("about", [this] { about_->exec(); }); });

    row->addWidget(new QLabel(tr("Flash File:")));
    row->addWidget(fileField_, 1);
    row->addWidget(open);
    row->addSpacing(4);
    row->addWidget(new QLabel(tr("Phone Type:")));
    row->addWidget(phoneType_);
    row->addWidget(save);
    row->addSpacing(4);
    row->addWidget(aboutButton_);
    return row;
}

void TMain::centreOnScreen() {
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

namespace {
// Saving writes the PPM copy into the image and the history's own moves replay steps: none
// of them is a step to undo.
bool Recorded(std::string_view name) {
    return name != "save" && name != "unsaved" && name != "undo" && name != "redo";
}
}  // namespace

void TMain::run(const char* name, const std::function<void()>& body) {
    runCommand(name, std::nullopt, body);
}

void TMain::run(const char* name, const std::string& description,
                const std::function<void()>& body) {
    runCommand(name, description, body);
}

void TMain::runCommand(const char* name, std::optional<std::string> description,
                       const std::function<void()>& body) {
    emit commandRan(QString::fromLatin1(name));
    // A command run from inside another (a focus change under its dialog) belongs to it.
    const bool record = depth_ == 0 && Recorded(name);
    if (depth_ == 0) watch_->reset();
    if (record) {
        if (!description) description = DescribeStep(ed_, name, activeRow());
        ed_.history.Begin(ed_);
    }
    const bool modifiedBefore = ed_.MainHex.Modified();
    ++depth_;
    try {
        if (body) body();
    } catch (const UserError& e) {
        ui_.error(e.what());
    } catch (const std::exception& e) {
        // Whatever else a command trips over must not take the user's image down with the
        // window; it ends the command like any other failure.
        ui_.error(e.what());
    }
    --depth_;
    // What a failed command changed before it stopped is undone like any other change.
    const bool changed = record && EndStep(ed_, *description);
    // A command that wrote the bytes that were there already changed nothing the file
    // lacks: the title must not say otherwise.
    if (record && !changed && !modifiedBefore) ed_.MainHex.SetModified(false);
    // Every view follows the image: what a command changed may show on any tab (a patch
    // of the code changes the menu, a chunk load the free space), so all of them are read
    // again from the bytes, as undo and redo do.
    if (changed && depth_ == 0) {
        try {
            RereadImage(ed_, ui_);
        } catch (const std::exception& e) {
            ui_.error(e.what());
        }
    }
    if (depth_ == 0) {
        const std::string_view n = name;
        if (n == "open" || n == "save")
            status_->clearMessage();
        else if (changed)
            status_->showMessage(FromCore(*description));
        else if (watch_->written && !watch_->failed)
            status_->showMessage(QString::fromLatin1(kWrittenStatus)
                                     .arg(QFileInfo(FromCorePath(*watch_->written)).fileName()));
    }
    refresh();
}

int TMain::activeRow() const {
    QWidget* page = tabs_->currentWidget();
    const auto* list = page ? page->findChild<ListView*>() : nullptr;
    return list ? list->selectedRow() : -1;
}

void TMain::undo() {
    stepHistory(true);
}

void TMain::redo() {
    stepHistory(false);
}

void TMain::stepHistory(bool back) {
    std::string line;
    run(back ? "undo" : "redo",
        [this, back, &line] { line = back ? UndoCommand(ed_, ui_) : RedoCommand(ed_, ui_); });
    if (!line.empty()) status_->showMessage(FromCore(line));
}

QString TMain::statusText() const {
    return status_->currentMessage();
}

bool TMain::settleUnsaved(const char* question) {
    if (!HasUnsavedWork(ed_)) return true;
    bool goOn = false;
    run("unsaved", [this, question, &goOn] { goOn = SettleUnsaved(ed_, ui_, question); });
    return goOn;
}

void TMain::refresh() {
    const bool was = rendering_;
    rendering_ = true;
    renderTitle();
    renderTopRow();
    groups_->render();
    for (TabPage* page : pages_) page->render();
    // Without an image, the commands have nothing to act on; without a type they cannot
    // know where anything lies, and the groups say so instead of answering every button.
    const bool open = !ed_.MainHex.Empty();
    const bool typed = open && ed_.PhoneType() != 0;
    groups_->setEnabled(typed);
    groups_->setToolTip(open && !typed ? QString::fromLatin1(kChooseTypeFirst) : QString());
    saveButton_->setEnabled(open);
    if (auto* commands = findChild<QWidget*>(QStringLiteral("graphicsCommands")))
        commands->setEnabled(typed);
    if (auto* bmpId = findChild<QWidget*>(QStringLiteral("bmpId")))
        bmpId->setEnabled(typed && !ed_.graphics.bitmaps.empty());
    // Undo and redo are offered only when there is a step to take.
    undo_->setEnabled(ed_.history.CanUndo());
    redo_->setEnabled(ed_.history.CanRedo());
    {
        QSignalBlocker block(tabs_);
        tabs_->setCurrentIndex(static_cast<int>(ed_.activeTab));
    }
    rendering_ = was;
}

void TMain::renderTitle() {
    QString title = QString::fromLatin1(kMainCaption);
    if (!ed_.fileNameField.empty()) {
        const QString name = QFileInfo(FromCorePath(ed_.fileNameField)).fileName();
        title = (HasUnsavedWork(ed_) ? QStringLiteral("*") : QString()) + name +
                QString::fromUtf8(" \u2014 ") + title;
    }
    if (windowTitle() != title) setWindowTitle(title);
}

void TMain::renderTopRow() {
    fileField_->setText(FromCorePath(ed_.fileNameField));
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

// ---------------------------------------------------------------------------------------
// Opening, closing, dropping

void TMain::openPath(const QString& path) {
    if (!settleUnsaved(kSaveBeforeOpen)) return;
    run("open", [this, &path] { OpenPath(ed_, ui_, ToCorePath(path)); });
    opened();
}

void TMain::opened() {
    // Once an image is in, the focus leaves the read-only file field.
    if (!ed_.fileNameField.empty()) aboutButton_->setFocus();
}

void TMain::closeEvent(QCloseEvent* event) {
    if (!settleUnsaved(kSaveBeforeClose)) {
        event->ignore();
        return;
    }
    // What commands left in the clipboard is scratch; it must not outlive the editor.
    ClipboardClear();
    if (QClipboard* cb = QGuiApplication::clipboard()) cb->clear();
    for (TabPage* page : pages_) page->closing();
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

}  // namespace brivant
