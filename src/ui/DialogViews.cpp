#include "ui/DialogViews.h"

#include "graphics/TImagEdit.h"
#include "menu/TAddMenu.h"
#include "menu/TBrowseMenu.h"
#include "menu/TMenuEdit.h"
#include "patches/TFadeLeds.h"
#include "patches/TInvertFrm.h"
#include "texts/TLangEdit.h"
#include "texts/TOpEdit.h"
#include "tones/ToptionFrm.h"
#include "ui/TAddMenuView.h"
#include "ui/TBrowseMenuView.h"
#include "ui/TFadeLedsView.h"
#include "ui/TImagEditView.h"
#include "ui/TInvertFrmView.h"
#include "ui/TLangEditView.h"
#include "ui/TMenuEditView.h"
#include "ui/TOpEditView.h"
#include "ui/ToptionFrmView.h"

namespace brivant {

namespace {
template <typename Model>
std::pair<const std::type_index, DialogView> View(bool (*show)(QWidget*, Model&)) {
    return {typeid(Model), [show](QWidget* parent, DialogModel& m) {
                return show(parent, static_cast<Model&>(m));
            }};
}
}  // namespace

const std::map<std::type_index, DialogView>& DialogViews() {
    static const std::map<std::type_index, DialogView> views = {
        View<ToptionFrm>(ShowOptionsDialog), View<TLangEdit>(ShowLanguageEditor),
        View<TOpEdit>(ShowOperatorsEditor),  View<TBrowseMenu>(ShowBrowseMenu),
        View<TFadeLeds>(ShowFadeLedsDialog), View<TInvertFrm>(ShowInvertDialog),
        View<TImagEdit>(ShowImageEditor),    View<TMenuEdit>(ShowMenuEditor),
        View<TAddMenu>(ShowAddMenu),
    };
    return views;
}

}  // namespace brivant
