#pragma once

#include <QDialog>

namespace brivant {

inline constexpr const char* kAboutVersion = "BrivantPro Version 1.03";
inline constexpr const char* kAboutPurpose =
    "This program is for editing Alert tones and other PPM chunks + Menu Security Code "
    "Patcher.";

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace brivant
