#pragma once

#include "ui/TabPage.h"

namespace brivant {

// "Tones": the ringtone list and its commands.
class TonesPage : public ListPage {
  public:
    static constexpr Tab kTab = Tab::Tones;
    static constexpr const char* kCaption = "Tones";

    explicit TonesPage(Shell& shell);
    void render() override;
};

}  // namespace brivant
