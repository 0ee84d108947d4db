#include "menu/SecurityPatterns.h"

namespace brivant {

namespace {
constexpr int k51xx = 1, k61xx = 2, k3210 = 3, k3310 = 4, k3330 = 5, k3350 = 6, k3390 = 7,
              k3410 = 8, k3610 = 9, k8210 = 10, k8250 = 11, k8850 = 12, k8890 = 13, k8855 = 14,
              k5510 = 15, k5210 = 16, k2100 = 17;
}  // namespace

const std::vector<SecurityVariant>& SecurityVariants() {
    // The whole-menu runs of 3310 and 3390 hold more than Bmp ID and Func ID because those
    // Bmp IDs recur elsewhere in their firmware; the back-offset still lands on the Func
    // Pointer. The 3310 security item is found by its Func Pointer and the first byte of its
    // Bmp ID alone when the whole menu is guarded.
    static const std::vector<SecurityVariant> rows = {
        {k51xx, "4E53452D31", "NSE-1", "00340387", 4, "0000001C004305E0", "0000001B004305E0",
         "0000003C004305E0", nullptr},
        {k51xx, "4E534B2D31", "NSK-1", "003F0387", 4, "0000001C004E05E0", "0000001B004E05E0",
         "0000003E004E05E0", nullptr},
        {k51xx, "4E53452D32", "NSE-2", "00390387", 4, "0000001B004805E0", "0000001A004805E0",
         "00000037004805E0", nullptr},
        {k61xx, "4E53452D33", "NSE-3", "003C0387", 4, "0000001D004C05E0", "0000001C004C05E0",
         "00000045004C05E0", nullptr},
        // NSM-1's Outbox item was never charted. In every other firmware the Outbox function
        // number is the Inbox's minus one and the item carries the variant's Bmp ID, so
        // 0000001C with Bmp ID 012F is the Outbox here too.
        {k61xx, "4E534D2D31", "NSM-1", "00470387", 4, "0000001D012F05E0", "0000001C012F05E0",
         "0000004D012F05E0", nullptr},
        {k61xx, "4E534B2D33", "NSK-3", "00450387", 4, "0000001D005605E0", "0000001C005605E0",
         "00000046005605E0", nullptr},
        {k3210, nullptr, "3210", "003B0387", 4, "0000001D011405E0", "0000001C011405E0",
         "00000046011405E0", nullptr},
        {k3310, "30352E3739", "05.79", "03870000003E00000014", 6, "0000001E017905E0",
         "0000001D017905E0", "0000004C017905E0", "0000004C01"},
        {k3310, nullptr, "3310", "03870000003E00000014", 6, "0000001E017505E0", "0000001D017505E0",
         "0000004C017505E0", "0000004C01"},
        {k3330, nullptr, "3330", "004F0387", 4, "0000001D017805E0", "0000001C017805E0",
         "0000004F017805E0", nullptr},
        {k3350, nullptr, "3350", "00570387", 4, "0000001E019D05E0", "0000001D019D05E0",
         "00000050019D05E0", nullptr},
        {k3390, nullptr, "3390", "000003870000003C00000004", 4, "0000001E015405E0",
         "0000001D015405E0", "0000004A015405E0", nullptr},
        {k3410, nullptr, "3410", "01970387", 4, "0000001D020305E0", "0000001C020305E0",
         "0000005F020305E0", nullptr},
        {k3610, nullptr, "3610", "00570387", 4, "0000001E018A05E0", "0000001D018A05E0",
         "00000050018A05E0", nullptr},
        {k8210, nullptr, "8210", "004D0387", 4, "0000001D013105E0", "0000001C013105E0",
         "0000004E013105E0", nullptr},
        {k8250, nullptr, "8250", "004E0387", 4, "0000001C012D05E0", "0000001B012D05E0",
         "0000004E012D05E0", nullptr},
        {k8850, nullptr, "8850", "004C0387", 4, "0000001D013305E0", "0000001C013305E0",
         "0000004E013305E0", nullptr},
        {k8890, nullptr, "8890", "00510387", 4, "0000001D015005E0", "0000001C015005E0",
         "0000004E015005E0", nullptr},
        {k8855, nullptr, "8855", "004F0387", 4, "0000001D019505E0", "0000001C019505E0",
         "00000051019505E0", nullptr},
        {k5510, nullptr, "5510", "00540387", 4, "0000001D018F05E0", "0000001C018F05E0",
         "0000004E018F05E0", nullptr},
        {k5210, nullptr, "5210", "00700387", 4, "0000001D019B05E0", "0000001C019B05E0",
         "00000051019B05E0", nullptr},
        {k2100, nullptr, "2100", "01820387", 4, "0000001D01B205E0", "0000001C01B205E0",
         "0000005601B205E0", nullptr},
    };
    return rows;
}

const SecurityVariant* FindSecurityVariant(int family, const std::string& unitModelHex) {
    // The designation is matched as text anywhere in the header's hex text, as the
    // detection does.
    for (const SecurityVariant& v : SecurityVariants())
        if (v.family == family &&
            (!v.modelHex || unitModelHex.find(v.modelHex) != std::string::npos))
            return &v;
    return nullptr;
}

std::optional<SecurityPatterns> PatternsFor(const SecurityVariant& v, int option) {
    switch (option) {
        case kWholeMenu:
            return SecurityPatterns{v.whole, v.wholeBack,
                                    v.securityWhole ? v.securityWhole : v.security};
        case kInbox:
            return SecurityPatterns{v.inbox, 0, v.security};
        case kOutbox:
            return SecurityPatterns{v.outbox, 0, v.security};
        default:
            return std::nullopt;
    }
}

}  // namespace brivant
