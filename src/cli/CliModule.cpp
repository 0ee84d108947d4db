#include "cli/CliModule.h"

namespace brivant {

CLI::App* AddGroup(CLI::App& app, const char* name, const char* help) {
    CLI::App* group = app.add_subcommand(name, help);
    group->require_subcommand(1);
    return group;
}

std::string ChoiceText(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " or " : ", ";
        text += names[i];
    }
    return text;
}

void AddImageOption(CLI::App* cmd, ImageOptions& o) {
    cmd->add_option("IMAGE", o.image, "Flash image (*.fls)")->required()->check(CLI::ExistingFile);
}

void AddTypeOption(CLI::App* cmd, ImageOptions& o) {
    cmd->add_option("--type", o.type,
                    "Phone type (such as 3310 or 62XX/7110) when detection finds none");
}

void AddJsonFlag(CLI::App* cmd, ImageOptions& o) {
    cmd->add_flag("--json", o.json, "Print one JSON object");
}

void AddOutputOptions(CLI::App* cmd, ImageOptions& o) {
    auto* out = cmd->add_option("-o,--output", o.out, "Write the result to this file");
    auto* in =
        cmd->add_flag("--in-place", o.inPlace, "Write the result over IMAGE (keeps IMAGE.bak)");
    out->excludes(in);
    cmd->add_flag("--no-checksum", o.noChecksum, "Leave the saved file's checksums as they are");
}

}  // namespace brivant
