#pragma once

#include "ui/TabPage.h"

namespace brivant {

// "Operators": the countries of the operator table and their commands.
class OperatorsPage : public ListPage {
  public:
    static constexpr Tab kTab = Tab::Operators;
    static constexpr const char* kCaption = "Operators";

    explicit OperatorsPage(Shell& shell);
    void render() override;
};

}  // namespace brivant
