#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brivant {

// The item the patch guards: the radio buttons of the "Security Code" group, in their order.
enum SecurityOption { kWholeMenu = 0, kInbox = 1, kOutbox = 2, kManual = 3 };

// One firmware variant of a family: the patterns that find its Messages items and its own
// security-code item.
struct SecurityVariant {
    int family;                 // phone-type index
    const char* modelHex;       // UnitModelHex must contain this; nullptr: any image of the family
    const char* name;           // what the variant is called, for messages and tests
    const char* whole;          // the Messages submenu item: Bmp ID + 0387, or a longer run
    int wholeBack;              // from the whole-menu hit back to the item's Func Pointer
    const char* inbox;          // Func Pointer + Bmp ID + 05E0 of the Inbox item
    const char* outbox;         // ... of the Outbox item
    const char* security;       // ... of the security-code item
    const char* securityWhole;  // nullptr: `security`; else used with the whole-menu choice
};

// Every variant, in the order they are tried; families 1-17 (62XX/7110 has none).
const std::vector<SecurityVariant>& SecurityVariants();

// The first variant of the family whose text UnitModelHex contains, or nullptr.
const SecurityVariant* FindSecurityVariant(int family, const std::string& unitModelHex);

// What one run of the patch engine searches for.
struct SecurityPatterns {
    std::string guarded;
    int back = 0;
    std::string security;
};

// The variant's patterns for one of the three automatic choices; nothing for kManual.
std::optional<SecurityPatterns> PatternsFor(const SecurityVariant& v, int option);

}  // namespace brivant
