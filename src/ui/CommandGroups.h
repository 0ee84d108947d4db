#pragma once

#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace brivant {

class Shell;

// The column of command groups left of the notebook: "Alert Tones", "Security Code",
// "Free Space" and "Miscellaneous".
class CommandGroups : public QWidget {
  public:
    explicit CommandGroups(Shell& shell, QWidget* parent = nullptr);
    void render();

  private:
    QWidget* buildAlertTones();
    QWidget* buildSecurityCode();
    QWidget* buildFreeSpace();
    QWidget* buildMiscellaneous();

    Shell& shell_;

    QComboBox* alertTone_ = nullptr;
    QRadioButton* alertChange_ = nullptr;
    QRadioButton* alertRetrieve_ = nullptr;

    QRadioButton* securityOption_[4] = {};
    QLineEdit* securityOffset_[2] = {};
    QToolButton* securityBrowse_[2] = {};
    QPushButton* patchButton_ = nullptr;

    QRadioButton* toMcu_ = nullptr;
    QLineEdit* mcuFree_ = nullptr;
    QLineEdit* ppmFree_ = nullptr;

    QComboBox* misc_ = nullptr;
};

}  // namespace brivant
