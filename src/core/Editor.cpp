#include "core/Editor.h"

#include "core/PhoneTypes.h"

namespace brivant {

Editor::Editor() {
    FillPhoneTypeList(*this);
    InstallFeatureReaders(readers);
}

bool Editor::Is62xx() const { return PhoneTypeText() == k62xx; }

}  // namespace brivant
