#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "app/Editor.h"
#include "ui/ListView.h"
#include "ui/QtText.h"
#include "ui/Shell.h"

class QLabel;

namespace brivant {

// One page of the notebook. It builds its controls, wires them to its feature's commands
// through the window's command boundary, and draws itself from the editor in render().
class TabPage : public QWidget {
  public:
    explicit TabPage(Shell& shell) : shell_(shell) {}
    virtual void render() = 0;
    // The window closes: stop what runs on its own.
    virtual void closing() {}

  protected:
    Editor& ed() { return shell_.editor(); }
    Interaction& ui() { return shell_.interaction(); }
    bool rendering() const { return shell_.rendering(); }
    void run(const char* name, const std::function<void()>& body) { shell_.run(name, body); }
    // The runner a ListView takes: the window's command boundary.
    ListView::Runner runner() {
        return [this](const char* name, const std::function<void()>& body) { run(name, body); };
    }

    Shell& shell_;
};

// A list row of three stored names or hex texts, shown as the image holds them, control
// bytes escaped.
inline QStringList Cells(const std::string& a, const std::string& b, const std::string& c) {
    return {FromImageText(a), FromImageText(b), FromImageText(c)};
}

// The common shape of the list tabs: one list over its count label.
class ListPage : public TabPage {
  public:
    ListPage(Shell& shell, const char* list, const QStringList& headers, const char* count);

  protected:
    ListView* list_ = nullptr;
    QLabel* count_ = nullptr;
};

}  // namespace brivant
