#pragma once

#include <QDialog>

class QRadioButton;

namespace brivant {

class TInvertFrm;

// "Inverted LCD": the two ways to invert the display. A view over the model, which keeps
// the way last taken; "&Cancel", Escape and the close box all cancel.
class TInvertFrmView : public QDialog {
    Q_OBJECT
  public:
    explicit TInvertFrmView(TInvertFrm& model, QWidget* parent = nullptr);

    QRadioButton* nonBlinkingButton() const { return nonBlinking_; }
    QRadioButton* blinkingButton() const { return blinking_; }

    void done(int result) override;

  private:
    TInvertFrm& model_;
    QRadioButton* nonBlinking_ = nullptr;
    QRadioButton* blinking_ = nullptr;
};

// Shows the dialog modally over `parent`; true when it ended with "&OK".
bool ShowInvertDialog(QWidget* parent, TInvertFrm& model);

}  // namespace brivant
