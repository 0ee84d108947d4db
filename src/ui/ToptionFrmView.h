#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QRadioButton;

namespace brivant {

class ToptionFrm;

// "Options": how often an alert tone repeats, Normal or Ascending. A view over the model,
// which keeps the last accepted answer between uses. "&Cancel", Escape and the close box
// give up the change.
class ToptionFrmView : public QDialog {
    Q_OBJECT
  public:
    explicit ToptionFrmView(ToptionFrm& model, QWidget* parent = nullptr);

    // How a refusal of "&OK" is shown; a message box unless replaced (tests).
    std::function<void(const QString&)> showMessage;

    QLineEdit* countField() const { return count_; }
    QRadioButton* normalButton() const { return normal_; }
    QRadioButton* ascendingButton() const { return ascending_; }

  private:
    void PressOk();
    void StoreFields();

    ToptionFrm& model_;
    QLineEdit* count_ = nullptr;
    QRadioButton* normal_ = nullptr;
    QRadioButton* ascending_ = nullptr;
};

// Shows the dialog modally over `parent`; true when it ended with a valid "&OK".
bool ShowOptionsDialog(QWidget* parent, ToptionFrm& model);

}  // namespace brivant
