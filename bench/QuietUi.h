#pragma once

// The answers the benchmarks give: no dialogs, no files chosen, every checksum repair
// confirmed (a save is timed with its repair), and nothing said.

#include <optional>
#include <string>

#include "core/Interaction.h"

namespace brivant::bench {

class QuietUi : public Interaction {
  public:
    std::optional<std::string> askOpenFile(const FileDialog&) override { return std::nullopt; }
    std::optional<std::string> askSaveFile(const FileDialog&) override { return std::nullopt; }
    void tell(const std::string&, MessageKind) override {}
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }
    bool confirmChecksum(const std::string&) override { return true; }
    SaveChoice askSaveChanges(const std::string&) override { return SaveChoice::Cancel; }
    bool askDialog(DialogModel&) override { return false; }
};

}  // namespace brivant::bench
