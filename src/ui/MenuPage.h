#pragma once

#include "ui/TabPage.h"

class QComboBox;
class QToolButton;

namespace brivant {

// "Menu": the phone's menu tree, one level at a time, in the chosen language.
class MenuPage : public TabPage {
  public:
    static constexpr Tab kTab = Tab::Menu;
    static constexpr const char* kCaption = "Menu";

    explicit MenuPage(Shell& shell);
    void render() override;

  private:
    QComboBox* language_ = nullptr;
    QToolButton* back_ = nullptr;
    QLabel* count_ = nullptr;
    ListView* list_ = nullptr;
    int select_ = -1;  // the row to select once the rows are drawn again
};

}  // namespace brivant
