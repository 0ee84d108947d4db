#pragma once

#include "ui/TabPage.h"

namespace brivant {

// "Languages": the language chunks and their commands.
class LanguagesPage : public ListPage {
  public:
    static constexpr Tab kTab = Tab::Languages;
    static constexpr const char* kCaption = "Languages";

    explicit LanguagesPage(Shell& shell);
    void render() override;
};

}  // namespace brivant
