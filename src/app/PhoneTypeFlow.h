#pragma once

namespace brivant {

class Editor;
class Interaction;

// Detection: the designation in the PPM header picks the type, or the list asks for one.
void GetPhoneType(Editor& ed, Interaction& ui);
// Picking an entry of the list (by hand or by detection).
void ChoosePhoneType(Editor& ed, Interaction& ui, int index);
// The type-change reaction: free space, the PPM copy, then every feature's reader.
void PhoneTypeChanged(Editor& ed, Interaction& ui);

}  // namespace brivant
