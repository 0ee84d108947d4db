#pragma once

#include <functional>
#include <vector>

#include "image/Session.h"

namespace brivant {

class Shell;
class TabPage;

// One page of the notebook as the window builds it.
struct TabPageKind {
    Tab tab;
    const char* caption;
    std::function<TabPage*(Shell&)> make;
};

// The one list of tab pages, in notebook order.
const std::vector<TabPageKind>& TabPages();

}  // namespace brivant
