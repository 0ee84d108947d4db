#include "ui/ListView.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <optional>

namespace brivant {

namespace {

std::optional<ListView::Key> KeyOf(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return ListView::Key::Enter;
        if (key->key() == Qt::Key_Delete) return ListView::Key::Delete;
    } else if (mods == Qt::ControlModifier) {
        // Ctrl alone: Ctrl+Shift+arrows keep their list meaning.
        if (key->key() == Qt::Key_Up) return ListView::Key::CtrlUp;
        if (key->key() == Qt::Key_Down) return ListView::Key::CtrlDown;
    }
    return std::nullopt;
}

}  // namespace

ListView::ListView(Runner run, const char* name, const QStringList& headers,
                   const std::vector<int>& widths, QWidget* parent)
    : QTreeWidget(parent), run_(std::move(run)) {
    setObjectName(QString::fromLatin1(name));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHeaderLabels(headers);
    header()->setStretchLastSection(false);
    for (std::size_t i = 0; i < widths.size(); ++i) setColumnWidth(static_cast<int>(i), widths[i]);
    setContextMenuPolicy(Qt::NoContextMenu);
    menu_ = new QMenu(this);
    connect(this, &QWidget::customContextMenuRequested, this, &ListView::showMenu);
    // Keys and scripted triggers act on the selection as it stands, whatever the menu last
    // offered.
    connect(menu_, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, this, [this] { updateMenu(); }); });
    // A double-click on a row does what Enter does there.
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        const auto bound = keys_.find(Key::Enter);
        const int row = item ? indexOfTopLevelItem(item) : -1;
        if (bound == keys_.end() || row < 0) return;
        selectRow(row);
        runCommand(commands_.at(bound->second), row);
    });
}

void ListView::addCommonEntries(const QList<QAction*>& entries) {
    menu_->addSeparator();
    menu_->addActions(entries);
}

QAction* ListView::addEntry(const QString& caption, const char* command, Needs needs, Body body,
                            QMenu* into) {
    QAction* a = (into ? into : menu_)->addAction(caption);
    a->setObjectName(QString::fromLatin1(command));
    commands_[a] = Command{command, needs, std::move(body)};
    connect(a, &QAction::triggered, this, [this, a] {
        const Command& c = commands_.at(a);
        const int row = c.needs == Needs::Row ? selectedRow() : -1;
        // An entry about one row has nothing to work on when the click hit no row.
        if (c.needs == Needs::Row && row < 0) return;
        runCommand(c, row);
    });
    return a;
}

QMenu* ListView::addSubmenu(const QString& caption) {
    return menu_->addMenu(caption);
}

void ListView::addSeparator() {
    menu_->addSeparator();
}

void ListView::enableWhen(QAction* entry, std::function<bool()> rule) {
    rules_.emplace_back(entry, std::move(rule));
}

void ListView::bindKey(Key key, QAction* entry) {
    keys_[key] = entry;
    if (key == Key::CtrlUp || key == Key::CtrlDown) {
        // Shown next to the entry; the list's own key handling runs it.
        entry->setShortcut(
            QKeySequence(Qt::CTRL | (key == Key::CtrlUp ? Qt::Key_Up : Qt::Key_Down)));
        entry->setShortcutContext(Qt::WidgetShortcut);
    }
}

void ListView::runCommand(const Command& c, int row) {
    if (c.body)
        run_(c.name, [&c, row] { c.body(row); });
    else
        run_(c.name, {});
}

void ListView::setRows(const Rows& rows) {
    // Rebuilding an unchanged list would drop the user's selection after every command.
    if (rows != shown_) {
        // The selection stays on its row: after an edit the same one, after a delete the
        // row that took its place, or the last row when the last one went.
        const int was = selectedRow();
        clear();
        QList<QTreeWidgetItem*> items;
        items.reserve(static_cast<qsizetype>(rows.size()));
        for (const QStringList& r : rows) items << new QTreeWidgetItem(r);
        addTopLevelItems(items);
        shown_ = rows;
        if (was >= 0 && !rows.empty()) selectRow(std::min(was, static_cast<int>(rows.size()) - 1));
    }
    updateMenu();
}

int ListView::selectedRow() const {
    const QList<QTreeWidgetItem*> sel = selectedItems();
    if (sel.isEmpty()) return -1;
    return indexOfTopLevelItem(sel.front());
}

void ListView::selectRow(int row) {
    if (selectedRow() == row) return;
    clearSelection();
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        item->setSelected(true);
        setCurrentItem(item);
    }
}

void ListView::updateMenu() {
    setContextMenuPolicy(topLevelItemCount() > 0 ? Qt::CustomContextMenu : Qt::NoContextMenu);
    for (const auto& [entry, c] : commands_)
        if (c.needs == Needs::Row) entry->setEnabled(true);
    for (const auto& [entry, rule] : rules_) entry->setEnabled(rule());
}

void ListView::showMenu(const QPoint& pos) {
    if (topLevelItemCount() == 0) return;
    // The click picks the row the entries act on; the blank below the rows picks none, and
    // then the entries about one row are not offered.
    if (QTreeWidgetItem* item = itemAt(pos))
        selectRow(indexOfTopLevelItem(item));
    else
        clearSelection();
    updateMenu();
    if (selectedRow() < 0)
        for (const auto& [entry, c] : commands_)
            if (c.needs == Needs::Row) entry->setEnabled(false);
    menu_->popup(viewport()->mapToGlobal(pos));
}

const ListView::Command* ListView::commandForKey(const QKeyEvent* key) const {
    const std::optional<Key> k = KeyOf(key);
    if (!k) return nullptr;
    const auto bound = keys_.find(*k);
    if (bound == keys_.end()) return nullptr;
    return &commands_.at(bound->second);
}

bool ListView::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride) {
        // Lets the bound Ctrl+arrows reach the list before any window shortcut takes them.
        auto* k = static_cast<QKeyEvent*>(e);
        const std::optional<Key> key = KeyOf(k);
        if (key && (*key == Key::CtrlUp || *key == Key::CtrlDown) && keys_.count(*key)) {
            e->accept();
            return true;
        }
    }
    return QTreeWidget::event(e);
}

void ListView::keyPressEvent(QKeyEvent* e) {
    const int row = selectedRow();
    const Command* c = row >= 0 ? commandForKey(e) : nullptr;
    if (!c) {
        QTreeWidget::keyPressEvent(e);
        return;
    }
    e->accept();
    runCommand(*c, row);
}

void ListView::focusInEvent(QFocusEvent* e) {
    updateMenu();
    QTreeWidget::focusInEvent(e);
}

}  // namespace brivant
