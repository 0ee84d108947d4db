#include "core/Editor.h"

namespace brivant {

// Hangs each feature's readers on the shared flows. A feature adds its line here when it
// is built; until then its tab simply reads nothing.
void InstallFeatureReaders(FeatureReaders& readers) { (void)readers; }

}  // namespace brivant
