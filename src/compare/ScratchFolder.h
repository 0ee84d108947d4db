#pragma once

#include <filesystem>
#include <string>

#include "core/HexText.h"

namespace brivant {

// A folder of its own in the system's temporary folder, removed with everything in it when
// the object goes: for files that only pass through (exports read back, embedded files).
class ScratchFolder {
  public:
    ScratchFolder();  // throws UserError when no folder can be made
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // A fresh path named `name` (its folder part dropped), in a folder of its own so two
    // files of one name never meet. Nothing is created there.
    std::string NewPath(const std::string& name);
    // A new file holding `bytes` at NewPath(name).
    std::string Write(const std::string& name, const Bytes& bytes);
    // Removes the folder now, with everything in it; throws UserError, naming the folder and
    // the system's reason, when that fails. The destructor removes it quietly otherwise.
    void Remove();

  private:
    std::filesystem::path dir_;
    int files_ = 0;
};

}  // namespace brivant
