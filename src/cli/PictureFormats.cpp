#include "cli/PictureFormats.h"

#include <algorithm>
#include <cctype>

#include "core/UserError.h"

namespace brivant {

namespace {
constexpr const char* kCannotWrite = "%s: %s writes %s; name the file so or give --format";

// The extension of the file name (not of a folder), in lower case; empty when it has none.
std::string Extension(const std::string& file) {
    const std::size_t slash = file.find_last_of('/');
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return {};
    std::string ext = name.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}
}  // namespace

const PictureFormats& BitmapExportFormats() {
    static const PictureFormats formats = {{"bmp", "1-bit BMP"}, {"png", "1-bit PNG"}};
    return formats;
}

const PictureFormats& SheetExportFormats() {
    static const PictureFormats formats = {{"png", "PNG"}};
    return formats;
}

const PictureFormats& AnimationExportFormats() {
    static const PictureFormats formats = {{"gif", "animated GIF"}, {"png", "PNG strip"}};
    return formats;
}

CLI::Option* AddFormatOption(CLI::App* cmd, std::string& format, const PictureFormats& offered) {
    std::vector<std::string> names, described;
    for (const auto& f : offered) {
        names.emplace_back(f.name);
        described.push_back(std::string(f.name) + " (" + f.writes + ")");
    }
    const std::string help =
        ChoiceText(described) + "; default: by the name's extension, else " + offered.front().name;
    return cmd->add_option("--format", format, help)->check(CLI::IsMember(names));
}

std::string ChosenFormat(CliContext& ctx, const std::string& command, const std::string& file,
                         const std::string& asked, const PictureFormats& offered) {
    if (!asked.empty()) return asked;
    const std::string ext = StandIns::IsStdio(file) ? std::string() : Extension(file);
    if (ext.empty()) return offered.front().name;
    const auto known = std::find_if(offered.begin(), offered.end(),
                                    [&](const PictureFormatName& f) { return ext == f.name; });
    if (known != offered.end()) return known->name;
    std::vector<std::string> can;
    for (const auto& f : offered) can.push_back(std::string(f.writes) + " (." + f.name + ")");
    UsageError(ctx, Format(kCannotWrite, {file, command, ChoiceText(can)}));
}

}  // namespace brivant
