#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/HexText.h"
#include "core/Interaction.h"
#include "texts/TextRows.h"

namespace brivant {

inline constexpr const char* kLangEditTitle = "Language Editor";
inline constexpr const char* kSearchGo = "&GO";
inline constexpr const char* kSearchNext = "&NEXT";
inline constexpr const char* kSearchNotFound = "Sorry, search string not found";
inline constexpr const char* kSearchNoMore = "Sorry, no more occurence of search string";
inline constexpr const char* kEntriesPrefix = "Entries: ";
inline constexpr const char* kTextTooLong =
    "Text %s is too long: it holds %s characters, at most 254 fit in one language text";
inline constexpr const char* kTextOddBytes =
    "Text %s has an odd number of bytes (%s): every character of this language takes two bytes";
inline constexpr const char* kTextBadEscape = "Text %s: %s";
// How a length-table entry of 255 (it counts, but holds no text) is written among the texts
// where they are listed one a line: no text reads so, since a backslash starts \xHH.
inline constexpr const char* kNotATextLine = "\\(255)";

// The Language Editor without its widgets: the texts of one language chunk in display
// form, the text field, the GO/NEXT search, and the result that "&OK" leaves for the Edit
// command. Texts are held one character per byte (byte b is the character with code b).
class TLangEdit : public DialogModel {
  public:
    explicit TLangEdit(LangEditMemory memory = {}) : memory_(memory) {}

    // Fills the dialog before it is shown: selects the first text, clears the result.
    void Load(std::vector<std::string> texts, bool twoByte);

    // Entries of 255 are no texts and are not listed; "&OK" puts them back at these places
    // of the length table, and the bytes they count back behind the last text.
    void KeepNotTexts(std::vector<std::size_t> places, Bytes bytes);
    const std::vector<std::size_t>& NotTexts() const { return notTexts_; }
    const Bytes& NotTextBytes() const { return notTextBytes_; }

    const std::vector<std::string>& Texts() const { return texts_; }
    int Selected() const { return selected_; }
    const std::string& TextField() const { return textField_; }
    std::string EntriesLabel() const;
    std::string SearchCaption() const { return memory_.searchNext ? kSearchNext : kSearchGo; }
    bool TwoByte() const { return twoByte_; }

    // Selecting a row shows its text in the text field.
    void Select(int row);
    // A key typed into the text field: the editor writes only after this has happened once.
    void KeyTyped() { memory_.typedKey = true; }
    // The text field changed: the selected text follows it.
    void SetTextField(const std::string& text);

    std::string searchField;
    // "&GO" / "&NEXT". Returns the message to show, if any.
    std::optional<std::string> Search();

    // "&OK": encodes every text when a key was typed. Returns false, with the message in
    // `error`, when a text cannot be stored; the dialog then stays open.
    bool Ok(std::string* error);
    // "&Cancel" (or closing the dialog): nothing to write.
    void Cancel() { result_.clear(); }

    // The new length table followed by the texts; empty when nothing is to be written.
    const Bytes& Result() const { return result_; }
    const LangEditMemory& Memory() const { return memory_; }

  private:
    std::optional<int> FindFrom(int first) const;

    LangEditMemory memory_;
    std::vector<std::string> texts_;
    int selected_ = -1;
    std::string textField_;
    bool twoByte_ = false;
    std::vector<std::size_t> notTexts_;
    Bytes notTextBytes_;
    Bytes result_;
};

}  // namespace brivant
