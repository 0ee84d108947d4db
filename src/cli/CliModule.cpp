#include "cli/CliModule.h"

#include <algorithm>
#include <cctype>

namespace brivant {

namespace {
bool AllDigits(const std::string& text, bool hex) {
    return std::all_of(text.begin(), text.end(), [hex](unsigned char c) {
        return (hex ? std::isxdigit(c) : std::isdigit(c)) != 0;
    });
}
}  // namespace

CLI::Validator WholeNumber(std::int64_t min, std::int64_t max) {
    const std::string range = std::to_string(min) + " to " + std::to_string(max);
    return CLI::Validator(
        [min, max, range](std::string& text) -> std::string {
            const std::string bad = "'" + text + "' is not a whole number from " + range;
            // Leading zeros aside, more than 18 digits cannot be in range and would not fit.
            const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
            if (text.empty() || !AllDigits(text, false) || text.size() - first > 18) return bad;
            const std::int64_t v = first == text.size() ? 0 : std::stoll(text.substr(first));
            return v < min || v > max ? bad : std::string();
        },
        "INT " + range);
}

CLI::Validator NotStdio() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (!StandIns::IsStdio(text)) return {};
            return "'-' cannot be standard input or output here (./- names a file called -)";
        },
        "");
}

CLI::Validator HexId() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            if (!text.empty() && text.size() <= 8 && AllDigits(text, true)) return {};
            return "'" + text + "' is not an ID of 1 to 8 hex digits";
        },
        "HEX");
}

CLI::App* AddGroup(CLI::App& app, const char* name, const char* help) {
    CLI::App* group = app.add_subcommand(name, help);
    group->require_subcommand(1);
    return group;
}

void AddImageOption(CLI::App* cmd, ImageOptions& o) {
    // A missing file is the open flow's to tell, as every other file that cannot be read.
    cmd->add_option("IMAGE", o.image, "Flash image to open (*.fls; - reads standard input)")
        ->required();
}

void AddTypeOption(CLI::App* cmd, ImageOptions& o) {
    cmd->add_option("--type", o.type,
                    "Phone type to use when detection finds none (such as 3310 or 62XX/7110)");
}

void AddJsonFlag(CLI::App* cmd, ImageOptions& o) {
    cmd->add_flag("--json", o.json, "Print one JSON object");
}

void AddQuietFlag(CLI::App* cmd, CliContext& ctx) {
    cmd->add_flag("-q,--quiet", ctx.quiet, "Print no success lines, only warnings and errors");
}

void AddOutputOptions(CLI::App* cmd, ImageOptions& o) {
    auto* out = cmd->add_option("-o,--output", o.out,
                                "Image file to write the result to (- writes standard output)");
    auto* in =
        cmd->add_flag("--in-place", o.inPlace, "Write the result over IMAGE (keeps IMAGE.bak)");
    out->excludes(in);
    cmd->add_flag("--no-checksum", o.noChecksum, "Leave the saved file's checksums as they are");
}

}  // namespace brivant
