#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Interaction.h"

namespace brivant {

struct Session;
struct TextState;
struct MenuState;
struct MenuRow;

inline constexpr const char* kBrowseMenuCaption = "Browse For Menu...";
inline constexpr const char* kBrowseToPatch = "Browse Menu to Patch";
inline constexpr const char* kBrowseSecurity = "Browse Phone Security Menu";
inline constexpr const char* kBrowseLanguageLabel = "Language:";
inline constexpr const char* kBrowseColumn = "Menu Item";
inline constexpr int kBrowseColumnWidth = 150;
inline constexpr const char* kViewSubMenu = "&View SubMenu";
inline constexpr const char* kBrowseOk = "&OK";
inline constexpr const char* kBrowseCancel = "&Cancel";
inline constexpr const char* kBrowseHelp = "&Help";
inline constexpr const char* kChooseMenuFirst = "Please choose menu first.";
inline constexpr const char* kInvalidMenu = "Invalid menu!!!";
inline constexpr const char* kHelpToPatch =
    "Browse for Menu that you want to patch with Security Code.\n\rOnly menu with 05E0 or 0387 "
    "function ID are allowed to be patched.";
inline constexpr const char* kHelpSecurity =
    "Browse for Phone Securit or Security Level Menu.\n\rThe program needs this to patch "
    "security code successfully.";

// The menu browser without its widgets: a walk of the phone menu of its own, with the
// language selector kept in step with the Menu tab's, ending in one chosen record. It
// works on the editor's menu state while BrowseMenu keeps it open.
class TBrowseMenu : public DialogModel {
  public:
    TBrowseMenu(Session& ed, MenuState& m, TextState& texts, Interaction& ui, std::string title,
                std::vector<std::string> languages)
        : ed_(ed),
          m_(m),
          texts_(texts),
          ui_(ui),
          title_(std::move(title)),
          languages_(std::move(languages)) {}

    const std::string& Title() const { return title_; }
    // "Select Here" and the language names; entry 0 is chosen at every opening.
    const std::vector<std::string>& Languages() const { return languages_; }
    int Language() const;
    const std::vector<MenuRow>& Rows() const;
    bool BackEnabled() const;
    // Whether "&View SubMenu" has a row to act on (the row's record decides the rest).
    bool HasRows() const { return !Rows().empty(); }

    // Navigation. Failures are told through the port and leave the list as it was.
    void ChooseLanguage(int k);
    void ViewSubMenu(int row);
    void Back();
    void Select(int row) { selected_ = row; }
    int Selected() const { return selected_; }

    // "&OK": false (and the message told) keeps the dialog open; true sets the result.
    bool Ok();
    // "&Help": tells the help text that belongs to the title.
    void Help();
    std::string HelpText() const;

    // The chosen record's hex text, empty until "&OK" succeeded.
    const std::string& Result() const { return result_; }

  private:
    template <typename F>
    void Guarded(F&& step);

    Session& ed_;
    MenuState& m_;
    TextState& texts_;
    Interaction& ui_;
    std::string title_;
    std::vector<std::string> languages_;
    int selected_ = -1;
    std::string result_;
};

// Opens the browser with this title (the caller has made its checks) and returns the
// chosen record's hex text, or nothing when it was cancelled.
std::optional<std::string> BrowseMenu(Session& ed, MenuState& m, TextState& texts, Interaction& ui,
                                      const std::string& title);

}  // namespace brivant
