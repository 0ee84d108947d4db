#include "ui/TabPages.h"

#include "ui/GraphicsPage.h"
#include "ui/LanguagesPage.h"
#include "ui/MenuPage.h"
#include "ui/OperatorsPage.h"
#include "ui/TonesPage.h"

namespace brivant {

namespace {
template <typename Page>
TabPageKind Kind() {
    return {Page::kTab, Page::kCaption, [](Shell& shell) -> TabPage* { return new Page(shell); }};
}
}  // namespace

const std::vector<TabPageKind>& TabPages() {
    static const std::vector<TabPageKind> pages = {
        Kind<TonesPage>(),      // 0
        Kind<GraphicsPage>(),   // 1
        Kind<MenuPage>(),       // 2
        Kind<LanguagesPage>(),  // 3
        Kind<OperatorsPage>(),  // 4
    };
    return pages;
}

}  // namespace brivant
