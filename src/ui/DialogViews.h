#pragma once

#include <functional>
#include <map>
#include <typeindex>

class QWidget;

namespace brivant {

class DialogModel;

// Shows the view of a dialog model modally over `parent`; true when the user accepted it.
using DialogView = std::function<bool(QWidget* parent, DialogModel& model)>;

// The one list that pairs each dialog model type with its view.
const std::map<std::type_index, DialogView>& DialogViews();

}  // namespace brivant
