#pragma once

#include <functional>

#include "ui/TabPage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QSpinBox;
class QTimer;

namespace brivant {

// "Graphics": the bitmaps with their preview and commands, and the animations frame by
// frame.
class GraphicsPage : public TabPage {
  public:
    static constexpr Tab kTab = Tab::Graphics;
    static constexpr const char* kCaption = "Graphics";
    static constexpr int kAnimationInterval = 300;

    explicit GraphicsPage(Shell& shell);
    void render() override;
    void closing() override;

  private:
    // Runs the named command when the control changes by the user's hand.
    void onUserChange(const char* command);
    void addCommand(QMenu* menu, const char* caption, const char* command,
                    std::function<void()> body);

    QComboBox* bmpId_ = nullptr;
    QLabel* bmpWidth_ = nullptr;
    QLabel* bmpHeight_ = nullptr;
    QLabel* preview_ = nullptr;
    QComboBox* aniId_ = nullptr;
    QLineEdit* aniLength_ = nullptr;
    QComboBox* frame_ = nullptr;
    QSpinBox* frameUpDown_ = nullptr;
    QComboBox* frameBmpId_ = nullptr;
    QCheckBox* animate_ = nullptr;
    QTimer* animation_ = nullptr;
};

}  // namespace brivant
