#pragma once

#include <QWidget>
#include <functional>
#include <vector>

#include "app/Editor.h"
#include "ui/Shell.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace brivant {

class CommandGroups;
class Interaction;
class TAboutBox;
class TabPage;

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
    Interaction& interaction() override { return ui_; }
    void run(const char* name, const std::function<void()>& body) override;
    // Shows the editor state; every command ends with it.
    void refresh() override;
    bool rendering() const override { return rendering_; }

    // The open flow without its dialog: the first command-line argument and dropped files.
    void openPath(const QString& path);
    void centreOnScreen();

  signals:
    // Emitted as each command starts, with its name ("open", "toneChange", ...).
    void commandRan(const QString& name);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QLayout* buildTopRow();
    void renderTopRow();
    void opened();

    Interaction& ui_;
    Editor ed_;
    TAboutBox* about_ = nullptr;

    QLineEdit* fileField_ = nullptr;
    QComboBox* phoneType_ = nullptr;
    QPushButton* aboutButton_ = nullptr;
    CommandGroups* groups_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::vector<TabPage*> pages_;

    bool rendering_ = false;
};

}  // namespace brivant
