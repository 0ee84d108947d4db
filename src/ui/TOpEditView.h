#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace brivant {

class TOpEdit;

// "Operators Editor": shows a TOpEdit and forwards every user action to it.
class TOpEditView : public QDialog {
    Q_OBJECT
  public:
    TOpEditView(TOpEdit& model, QWidget* parent = nullptr);

  private:
    void render();
    void onOk();

    TOpEdit& model_;
    QListWidget* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* country_ = nullptr;
    QLineEdit* network_ = nullptr;
    bool rendering_ = false;
};

// Shows the dialog modally; true when it was closed with "&OK" and the model accepted it.
// The caller has run the model's Show() step.
bool ShowOperatorsEditor(QWidget* parent, TOpEdit& model);

}  // namespace brivant
