#pragma once

#include <QDialog>
#include <functional>

#include "ui/MenuFieldsForm.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace brivant {

class TAddMenu;

// "Add Menu": a view over the model; the check boxes and what they enable follow it.
class TAddMenuView : public QDialog {
    Q_OBJECT
  public:
    explicit TAddMenuView(TAddMenu& model, QWidget* parent = nullptr);

    std::function<void(const QString&)> showMessage;
    QCheckBox* nameBox() const { return nameBox_; }
    QCheckBox* textPointerBox() const { return textPointerBox_; }
    QLineEdit* nameField() const { return name_; }
    QLineEdit* field(MenuField f) const { return form_.field(f); }
    QRadioButton* withSubMenu() const { return withSub_; }
    void pressOk();

  private:
    void store();
    void render();

    TAddMenu& model_;
    MenuFieldsForm form_;
    QCheckBox* nameBox_ = nullptr;
    QCheckBox* textPointerBox_ = nullptr;
    QLineEdit* name_ = nullptr;
    QRadioButton* single_ = nullptr;
    QRadioButton* withSub_ = nullptr;
    bool rendering_ = false;
};

bool ShowAddMenu(QWidget* parent, TAddMenu& model);

}  // namespace brivant
