#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace brivant {

struct Session;
struct ToneState;
class Interaction;

inline constexpr int kAlertKindCount = 8;
enum AlertKind {
    kStandard = 0,
    kSpecial,
    kBeepOnce,
    kAscending,
    kStartShut,
    kAlarmClock,
    kCalendar,
    kSystemError
};

// One tone kind of the "Alert Tones" drop-down.
struct AlertKindInfo {
    const char* entry;        // the drop-down's text
    const char* header;       // record header (hex) of an exported tone
    const char* fixedPrefix;  // repeat prefix; nullptr: asked in the Options dialog
    const char* endPattern;   // the tone file's end, before the plain 070B
    const char* terminator;   // closes the written sequence
    int dropDigits;           // what a sequence of whole words loses at its end ...
    const char* tail;         // ... and what it gets instead
};
const std::array<AlertKindInfo, kAlertKindCount>& AlertKinds();

// The alert-tone table of one MCU family.
struct AlertTable {
    const char* anchorWord;  // searched after the 06 07 0B anchor
    const char* prefix;      // address prefix of the family's free space ("002", "003", "004")
    std::array<int, kAlertKindCount> offsets;  // from the anchor word; -1: no such tone
};
// Phone types 1-17; nullptr for 0 and for "62XX/7110".
const AlertTable* AlertTableFor(int phoneType);

// Catalog row that holds the kind's tone in a 62XX/7110 flash file.
int AlertRow62xx(int kind, std::size_t catalogRows);

inline constexpr const char* kCalendarUnsupported = "Calendar not supported in this model";
inline constexpr const char* kNoAlertTable = "Cannot find the alert tone table in this flash file";
inline constexpr const char* kNotAlertToneFile = "%s is not a tone file: %s";
inline constexpr const char* kAlertNotReadBack =
    "%s cannot become the %s alert tone: %s; nothing was changed";

// The tone sequence written into the MCU for a tone body (hex), whole 4-byte words.
std::string BuildAlertSequence(int kind, const std::string& prefix, std::string body);
// The exported tone record for a stored sequence's body bytes (hex).
std::string BuildAlertRecord(int kind, const std::string& body);
// The image offset of the kind's table entry; throws UserError when the image has no table.
std::int32_t LocateAlertEntry(Session& ed, int kind);

// "&Do It" of the "Alert Tones" group: the kind is the drop-down's index, `change` the
// "Change" radio button (false: "Retrieve").
void AlertToneDoIt(Session& ed, ToneState& t, Interaction& ui, int kind, bool change);
void AlertToneChange(Session& ed, ToneState& t, Interaction& ui, int kind);
void AlertToneRetrieve(Session& ed, Interaction& ui, int kind);

}  // namespace brivant
