#pragma once

#include <functional>

#include "ui/TabPage.h"

class QComboBox;
class QMenu;

namespace brivant {

class AniControls;

// "Graphics": the bitmaps with their preview and commands, and the animations frame by
// frame.
class GraphicsPage : public TabPage {
  public:
    static constexpr Tab kTab = Tab::Graphics;
    static constexpr const char* kCaption = "Graphics";

    explicit GraphicsPage(Shell& shell);
    void render() override;
    void closing() override;

  private:
    void addCommand(QMenu* menu, const char* caption, const char* command,
                    std::function<void()> body);

    QComboBox* bmpId_ = nullptr;
    QLabel* bmpWidth_ = nullptr;
    QLabel* bmpHeight_ = nullptr;
    QLabel* preview_ = nullptr;
    AniControls* ani_ = nullptr;
};

}  // namespace brivant
