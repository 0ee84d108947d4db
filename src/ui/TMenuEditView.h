#pragma once

#include <QDialog>
#include <functional>

#include "ui/MenuFieldsForm.h"

class QLineEdit;

namespace brivant {

class TMenuEdit;

// "Menu Editor": a view over the model; "&OK" stays open while a field is refused.
class TMenuEditView : public QDialog {
    Q_OBJECT
  public:
    explicit TMenuEditView(TMenuEdit& model, QWidget* parent = nullptr);

    // How a refusal of "&OK" is shown; a message box unless replaced (tests).
    std::function<void(const QString&)> showMessage;
    QLineEdit* field(MenuField f) const { return form_.field(f); }
    void pressOk();

  private:
    TMenuEdit& model_;
    MenuFieldsForm form_;
};

bool ShowMenuEditor(QWidget* parent, TMenuEdit& model);

}  // namespace brivant
