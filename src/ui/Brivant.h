#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Editor.h"
#include "ui/Shell.h"

class QAction;
class QComboBox;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace brivant {

class CommandGroups;
class Interaction;
class TAboutBox;
class TabPage;
class WatchedInteraction;

inline constexpr const char* kMainCaption = "Brivant Pro v1.03 by Tamrek";
inline constexpr int kClientWidth = 543;
inline constexpr int kClientHeight = 345;

// The main window. It owns the editor for the whole run and is the shell around the
// features: the top row, the command groups, the notebook of tab pages and the boundary
// every command runs through. No widget holds anything the commands need to read.
class TMain : public QWidget, public Shell {
    Q_OBJECT
  public:
    explicit TMain(Interaction& ui, QWidget* parent = nullptr);
    ~TMain() override;

    Editor& editor() override { return ed_; }
    // The user's port, watched so that the status line can confirm what a command wrote.
    Interaction& interaction() override { return ui_; }
    void run(const char* name, const std::function<void()>& body) override;
    void run(const char* name, const std::string& description,
             const std::function<void()>& body) override;
    // Shows the editor state; every command ends with it.
    void refresh() override;
    bool rendering() const override { return rendering_; }

    // The open flow without its dialog: the first command-line argument and dropped files.
    void openPath(const QString& path);
    // Ctrl+Z and Ctrl+Shift+Z / Ctrl+Y: one step of the history back or forward.
    void undo();
    void redo();
    // The one-line status under the notebook: the last change, undo or redo, or the file a
    // command wrote; cleared when an image is opened or saved.
    QString statusText() const;
    void centreOnScreen();

  signals:
    // Emitted as each command starts, with its name ("open", "toneChange", ...).
    void commandRan(const QString& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QLayout* buildTopRow();
    void renderTopRow();
    void renderTitle();
    void opened();
    void runCommand(const char* name, std::optional<std::string> description,
                    const std::function<void()>& body);
    // The row of the list on the tab shown that a list command acts on; -1 for none.
    int activeRow() const;
    // Asks about unsaved changes before they would be lost; true when the caller may go on.
    bool settleUnsaved(const char* question);
    void stepHistory(bool back);

    std::unique_ptr<WatchedInteraction> watch_;
    Interaction& ui_;
    Editor ed_;
    TAboutBox* about_ = nullptr;

    QLineEdit* fileField_ = nullptr;
    QComboBox* phoneType_ = nullptr;
    QPushButton* aboutButton_ = nullptr;
    QWidget* saveButton_ = nullptr;
    CommandGroups* groups_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::vector<TabPage*> pages_;
    QStatusBar* status_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;

    bool rendering_ = false;
    int depth_ = 0;  // commands running; one run inside another is part of it
};

}  // namespace brivant
