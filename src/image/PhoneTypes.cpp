#include "image/PhoneTypes.h"

#include "core/Clipboard.h"
#include "image/Session.h"

namespace brivant {

const std::array<std::string, 19>& PhoneTypeTexts() {
    static const std::array<std::string, 19> texts = {
        "",     "51XX", "61XX", "3210", "3310", "3330", "3350", "3390", "3410",     "3610",
        "8210", "8250", "8850", "8890", "8855", "5510", "5210", "2100", "62XX/7110"};
    return texts;
}

int PhoneTypeIndex(const std::string& text) {
    const auto& t = PhoneTypeTexts();
    for (int i = 1; i <= kPhoneTypeCount; ++i)
        if (t[static_cast<std::size_t>(i)] == text) return i;
    return 0;
}

const std::array<Designation, 24>& Designations() {
    static const std::array<Designation, 24> rows = {{
        {"NSE-1", "4E53452D31", 1, "5110"},     {"NSE-2", "4E53452D32", 1, "5110i"},
        {"NSK-1", "4E534B2D31", 1, "5130"},     {"NSE-3", "4E53452D33", 2, "6110"},
        {"NSM-1", "4E534D2D31", 2, "6150"},     {"NSK-3", "4E534B2D33", 2, "6130"},
        {"NSE-8", "4E53452D38", 3, "3210"},     {"NHM-5", "4E484D2D35", 4, "3310"},
        {"NHM-6", "4E484D2D36", 5, "3330"},     {"NHM-9", "4E484D2D39", 6, "3350"},
        {"NPB-1", "4E50422D31", 7, "3390"},     {"NHM-2", "4E484D2D32", 8, "3410"},
        {"NAM-1", "4E414D2D31", 9, "3610"},     {"NSM-3", "4E534D2D33", 10, "8210"},
        {"NSM-3D", "4E534D2D3344", 11, "8250"}, {"NSM-2", "4E534D2D32", 12, "8850"},
        {"NSB-6", "4E53422D36", 13, "8890"},    {"NSM-4", "4E534D2D34", 14, "8855"},
        {"NPM-5", "4E504D2D35", 15, "5510"},    {"NSM-5", "4E534D2D35", 16, "5210"},
        {"NAM-2", "4E414D2D32", 17, "2100"},    {"NPE-3", "4E50452D33", 18, "6210"},
        {"NHM-3", "4E484D2D33", 18, "6250"},    {"NSE-5", "4E53452D35", 18, "7110"},
    }};
    return rows;
}

void FillPhoneTypeList(Session& ed) {
    ed.phoneList.entries = PhoneTypeTexts();
    ed.phoneList.selected = 0;
}

void GetUnitModel(Session& ed) {
    ed.MainHex.SetSelectionStart(1);
    FindOffSet1(ed, kPpmMarkerHex);
    ed.MainHex.SetSelectionStart(ed.FoundOffset);
    ed.MainHex.SetSelectionEnd(ed.FoundOffset + 48);
    const Bytes header =
        ed.MainHex.CopyBytes(ed.MainHex.SelectionStart(), ed.MainHex.SelectionLength());
    SetCBText(header.data(), header.size());
    ed.UnitModelHex = ClipboardGet();
}

}  // namespace brivant
