#pragma once

#include <QDialog>

class QComboBox;
class QToolButton;
class QTreeWidget;

namespace brivant {

class TBrowseMenu;

// "Browse For Menu...": shows a TBrowseMenu and forwards every user action to it.
class TBrowseMenuView : public QDialog {
    Q_OBJECT
  public:
    TBrowseMenuView(TBrowseMenu& model, QWidget* parent = nullptr);

  private:
    void render();
    void viewSubMenu();

    TBrowseMenu& model_;
    QComboBox* language_ = nullptr;
    QToolButton* back_ = nullptr;
    QTreeWidget* list_ = nullptr;
    bool rendering_ = false;
};

// Shows the dialog modally; true when it was closed with "&OK" and the model took a record.
bool ShowBrowseMenu(QWidget* parent, TBrowseMenu& model);

}  // namespace brivant
