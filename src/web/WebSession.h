#pragma once

// The page's one way into the program: an image kept open across edits, each edit and each
// look run as the command line runs it, and the steps kept for undo and redo.

#include <cstdint>
#include <string>
#include <vector>

namespace brivant::web {

// What one run of the command line gave: its exit status and what it printed.
struct RunResult {
    int status = 0;
    std::string out;
    std::string err;
};

class WebSession {
  public:
    // The session keeps its image and scratch files in `folder` (created when missing).
    explicit WebSession(std::string folder);

    // Takes the file `name` in the folder as the open image, forgetting the steps of any
    // image open before. `info` is run on it: a file that is no image is refused (and the
    // image open before stays open).
    RunResult Open(const std::string& name);
    // Runs a command line that only looks (a list, an export, check, diff): the image stays
    // as it is.
    RunResult Look(const std::vector<std::string>& args);
    // Runs an editing command line with the image written to a scratch file; only when it
    // succeeds does that file become the image, and the image before it an undo step named
    // `label`. A refused edit changes nothing.
    RunResult Step(const std::vector<std::string>& args, const std::string& label);
    // Back to the image before the last step, or forward again; false when there is none.
    bool Undo();
    bool Redo();

    // The open image's file name (relative to the folder, which is the working folder), or
    // empty before an image was opened.
    const std::string& Image() const { return image_; }
    // The names of the steps that undo and redo would take back or do again, latest first.
    std::vector<std::string> UndoNames() const;
    std::vector<std::string> RedoNames() const;

  private:
    struct Saved {
        std::string label;
        std::vector<std::uint8_t> bytes;
    };
    std::string ScratchPath() const;
    // Puts the latest image of `from` in place, the current one going onto `to`.
    bool Move(std::vector<Saved>& from, std::vector<Saved>& to);

    std::string folder_;
    std::string image_;
    std::vector<Saved> undo_;
    std::vector<Saved> redo_;
};

// A command line as the program takes it ("brivant-cli" first), run on string streams.
RunResult RunWords(const std::vector<std::string>& args);

}  // namespace brivant::web
