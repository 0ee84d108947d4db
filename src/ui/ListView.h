#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QMenu;

namespace brivant {

// One list of the notebook: a report list with single selection whose rows are drawn from
// the editor on every render. Its context menu opens only while it has rows and offers the
// entries about one row only on a row; its keys, and a double-click (as Enter), act on the
// selected row. The entries and keys are the page's; how a list behaves is
// written here once.
class ListView : public QTreeWidget {
    Q_OBJECT
  public:
    using Rows = std::vector<QStringList>;
    // Runs a named command; the window's command boundary.
    using Runner = std::function<void(const char* name, const std::function<void()>& body)>;
    // What an entry does, given the selected row (-1 when the entry needs none). An empty
    // body still runs the command by its name: its feature is not wired yet.
    using Body = std::function<void(int row)>;
    enum class Needs { List, Row };
    enum class Key { Enter, Delete, CtrlUp, CtrlDown };

    ListView(Runner run, const char* name, const QStringList& headers,
             const std::vector<int>& widths, QWidget* parent = nullptr);

    // Context menu entries in menu order; `into` puts one into a submenu.
    QAction* addEntry(const QString& caption, const char* command, Needs needs, Body body,
                      QMenu* into = nullptr);
    QMenu* addSubmenu(const QString& caption);
    void addSeparator();
    // Entries every list offers after its own (undo and redo), owned by the window.
    void addCommonEntries(const QList<QAction*>& entries);
    // The entry is offered only while `rule` holds; asked whenever the menu may show.
    void enableWhen(QAction* entry, std::function<bool()> rule);
    // The key runs the entry's command on the selected row, offered in the menu or not.
    void bindKey(Key key, QAction* entry);

    // Rows equal to the shown ones leave the list alone, so the user's selection stays.
    void setRows(const Rows& rows);
    int selectedRow() const;
    // Selects `row` (or nothing for -1) when that is not already the selection.
    void selectRow(int row);
    QMenu* contextMenu() const { return menu_; }

    // The context menu policy and the entries' enabled states, as the editor stands now.
    void updateMenu();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    struct Command {
        const char* name;
        Needs needs;
        Body body;
    };

    void runCommand(const Command& c, int row);
    const Command* commandForKey(const QKeyEvent* key) const;
    void showMenu(const QPoint& pos);

    Runner run_;
    QMenu* menu_ = nullptr;
    Rows shown_;
    std::map<QAction*, Command> commands_;
    std::vector<std::pair<QAction*, std::function<bool()>>> rules_;
    std::map<Key, QAction*> keys_;
};

}  // namespace brivant
