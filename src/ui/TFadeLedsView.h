#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace brivant {

class TFadeLeds;

// "Fading Leds": the fade-in and fade-out times. A view over the model, which keeps the
// times last confirmed; "&Cancel", Escape and the close box all cancel.
class TFadeLedsView : public QDialog {
    Q_OBJECT
  public:
    explicit TFadeLedsView(TFadeLeds& model, QWidget* parent = nullptr);

    // How a refusal of "&OK" is shown; a message box unless replaced (tests).
    std::function<void(const QString&)> showMessage;

    QLineEdit* fadeInField() const { return fadeIn_; }
    QLineEdit* fadeOutField() const { return fadeOut_; }

    void done(int result) override;

  private:
    void PressOk();

    TFadeLeds& model_;
    QLineEdit* fadeIn_ = nullptr;
    QLineEdit* fadeOut_ = nullptr;
};

// Shows the dialog modally over `parent`; true when it ended with a valid "&OK".
bool ShowFadeLedsDialog(QWidget* parent, TFadeLeds& model);

}  // namespace brivant
