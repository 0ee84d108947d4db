#pragma once

#include <functional>
#include <string>

namespace brivant {

class Editor;
class Interaction;

// What a tab page or a command group needs of the window: the editor it shows, the port
// that asks the user, and the one way to run a command.
class Shell {
  public:
    virtual ~Shell() = default;
    virtual Editor& editor() = 0;
    virtual Interaction& interaction() = 0;
    // Runs a command by name: a failure the user must see becomes an error box, then the
    // window shows the new state. An empty body only announces and refreshes.
    virtual void run(const char* name, const std::function<void()>& body) = 0;
    // The same for a command whose step in the undo history the window cannot name from
    // the command alone: `description` says in the user's words what it changes.
    virtual void run(const char* name, const std::string& description,
                     const std::function<void()>& body) = 0;
    // Shows the editor state again after a change that is no command.
    virtual void refresh() = 0;
    // True while the window draws the editor state: control signals then come from the
    // drawing, not from the user.
    virtual bool rendering() const = 0;
};

}  // namespace brivant
