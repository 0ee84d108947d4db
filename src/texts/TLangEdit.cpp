#include "texts/TLangEdit.h"

#include <algorithm>

#include "core/UserError.h"
#include "texts/TextEscapes.h"

namespace brivant {

namespace {
constexpr std::size_t kMaxEntry = 254;  // 255 in a length table marks a non-text
constexpr std::uint8_t kNotAText = 0xFF;

unsigned char Fold(unsigned char c) {
    // Letter case of the single-byte code page: A-Z and the accented capitals.
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    return c;
}

bool ContainsFolded(const std::string& text, const std::string& what) {
    if (what.size() > text.size()) return false;
    for (std::size_t i = 0; i + what.size() <= text.size(); ++i) {
        std::size_t j = 0;
        while (j < what.size() && Fold(static_cast<unsigned char>(text[i + j])) ==
                                      Fold(static_cast<unsigned char>(what[j])))
            ++j;
        if (j == what.size()) return true;
    }
    return false;
}
}  // namespace

void TLangEdit::Load(std::vector<std::string> texts, bool twoByte) {
    texts_ = std::move(texts);
    twoByte_ = twoByte;
    notTexts_.clear();
    notTextBytes_.clear();
    result_.clear();
    selected_ = -1;
    textField_.clear();
    if (!texts_.empty()) Select(0);
}

void TLangEdit::KeepNotTexts(std::vector<std::size_t> places, Bytes bytes) {
    std::sort(places.begin(), places.end());
    notTexts_ = std::move(places);
    notTextBytes_ = std::move(bytes);
}

std::string TLangEdit::EntriesLabel() const {
    return kEntriesPrefix + std::to_string(texts_.size());
}

void TLangEdit::Select(int row) {
    if (row < 0 || row >= static_cast<int>(texts_.size())) return;
    selected_ = row;
    textField_ = texts_[static_cast<std::size_t>(row)];
}

void TLangEdit::SetTextField(const std::string& text) {
    textField_ = text;
    if (selected_ >= 0) texts_[static_cast<std::size_t>(selected_)] = text;
}

std::optional<int> TLangEdit::FindFrom(int first) const {
    for (int i = std::max(first, 0); i < static_cast<int>(texts_.size()); ++i)
        if (ContainsFolded(texts_[static_cast<std::size_t>(i)], searchField)) return i;
    return std::nullopt;
}

std::optional<std::string> TLangEdit::Search() {
    if (!memory_.searchNext) {
        const auto hit = FindFrom(0);
        if (!hit) return std::string(kSearchNotFound);
        Select(*hit);
        memory_.searchNext = true;
        return std::nullopt;
    }
    const auto hit = FindFrom(selected_ + 1);
    if (!hit) {
        memory_.searchNext = false;
        return std::string(kSearchNoMore);
    }
    Select(*hit);
    return std::nullopt;
}

bool TLangEdit::Ok(std::string* error) {
    result_.clear();
    if (!memory_.typedKey) return true;
    Bytes table, body;
    auto notTexts = notTexts_.begin();
    auto putNotTexts = [&](bool all) {
        while (notTexts != notTexts_.end() && (all || *notTexts <= table.size())) {
            table.push_back(kNotAText);
            ++notTexts;
        }
    };
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        putNotTexts(false);
        const std::string number = std::to_string(i + 1);
        std::string why;
        const auto bytes = UnescapeText(texts_[i], &why);
        if (!bytes) {
            if (error) *error = Format(kTextBadEscape, {number, why});
            return false;
        }
        // The table counts characters: bytes for a one-byte language, byte pairs otherwise.
        if (twoByte_ && bytes->size() % 2) {
            if (error) *error = Format(kTextOddBytes, {number, std::to_string(bytes->size())});
            return false;
        }
        const std::size_t entry = twoByte_ ? bytes->size() / 2 : bytes->size();
        if (entry > kMaxEntry) {
            if (error) *error = Format(kTextTooLong, {number, std::to_string(entry)});
            return false;
        }
        table.push_back(static_cast<std::uint8_t>(entry));
        body.insert(body.end(), bytes->begin(), bytes->end());
    }
    putNotTexts(true);
    body.insert(body.end(), notTextBytes_.begin(), notTextBytes_.end());
    result_ = std::move(table);
    result_.insert(result_.end(), body.begin(), body.end());
    return true;
}

}  // namespace brivant
