#include "menu/TBrowseMenu.h"

#include "core/UserError.h"
#include "image/Session.h"
#include "menu/MenuLevels.h"
#include "menu/MenuState.h"
#include "texts/Languages.h"
#include "texts/TextState.h"

namespace brivant {

namespace {
// A record may be handed to the patch only when it runs a function or opens a submenu.
constexpr const char* kFunctionMark = "05E00000";
constexpr const char* kSubMenuMarkAnywhere = "03870000";
}  // namespace

int TBrowseMenu::Language() const {
    return m_.browserLanguage;
}

const std::vector<MenuRow>& TBrowseMenu::Rows() const {
    return m_.browser.rows;
}

bool TBrowseMenu::BackEnabled() const {
    return m_.browser.backEnabled;
}

// A failed step is told and leaves the dialog open, as a message box over it would.
template <typename F>
void TBrowseMenu::Guarded(F&& step) {
    try {
        step();
    } catch (const UserError& e) {
        ui_.error(e.what());
    }
}

void TBrowseMenu::ChooseLanguage(int k) {
    if (k < 0 || k >= static_cast<int>(languages_.size())) return;
    m_.browserLanguage = k;
    // The Menu tab's selector follows, and the listing reads it.
    m_.language = k;
    selected_ = -1;
    Guarded([&] { ListMenuLevel(ed_, m_, texts_, ui_); });
}

void TBrowseMenu::ViewSubMenu(int row) {
    Guarded([&] { EnterSubMenu(ed_, m_, texts_, ui_, row); });
    selected_ = -1;
}

void TBrowseMenu::Back() {
    Guarded([&] { LeaveSubMenu(ed_, m_, texts_, ui_); });
    selected_ = -1;
}

bool TBrowseMenu::Ok() {
    const auto& rows = Rows();
    if (selected_ < 0 || selected_ >= static_cast<int>(rows.size())) {
        ui_.error(kChooseMenuFirst);
        return false;
    }
    const std::string& record = rows[static_cast<std::size_t>(selected_)].record;
    if (record.find(kFunctionMark) == std::string::npos &&
        record.find(kSubMenuMarkAnywhere) == std::string::npos) {
        ui_.error(kInvalidMenu);
        return false;
    }
    result_ = record;
    return true;
}

std::string TBrowseMenu::HelpText() const {
    return title_ == kBrowseToPatch ? kHelpToPatch : kHelpSecurity;
}

void TBrowseMenu::Help() {
    ui_.info(HelpText());
}

std::optional<std::string> BrowseMenu(Session& ed, MenuState& m, TextState& texts, Interaction& ui,
                                      const std::string& title) {
    // The browser is a dialog of its own: the notebook stays on the tab the user chose.
    m.BrowseMode = true;
    const int remembered = m.language;
    struct Close {
        MenuState& m;
        int language;
        ~Close() {
            m.language = language;
            m.BrowseMode = false;
        }
    } close{m, remembered};

    ReadLanguages(ed, texts);
    if (texts.CommTextCount == 0) ReadMenuTexts(ed, texts, 0);
    // The same names as the Menu tab's selector, "Select Here" chosen, at every opening.
    m.browserLanguage = 0;
    GetRootOffset(ed, m);
    m.browser.rows.clear();
    m.browser.records.clear();

    TBrowseMenu dialog(ed, m, texts, ui, title, texts.menuLanguages);
    if (!ui.askDialog(dialog) || dialog.Result().empty()) return std::nullopt;
    return dialog.Result();
}

}  // namespace brivant
