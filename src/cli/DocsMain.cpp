// Writes the manual pages and the shell completions of brivant-cli at build time, and the
// command reference of the README on request.
// Usage: brivant-cli-docs VERSION DATE OUT_FOLDER
//        brivant-cli-docs --readme README.md

#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/CliModule.h"
#include "cli/CommandDocs.h"

namespace {
int WriteReadme(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::ostringstream out, err;
    std::istringstream none;
    brivant::CommandTable table(none, out, err);
    const std::string written = brivant::WithReadmeReference(text.str(), table.app);
    if (!in || written.empty()) {
        std::cerr << "brivant-cli-docs: " << path << " has no command reference markers\n";
        return 1;
    }
    std::ofstream file(path, std::ios::binary);
    file << written;
    file.close();
    if (!file) {
        std::cerr << "brivant-cli-docs: cannot write " << path << '\n';
        return 1;
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--readme") return WriteReadme(argv[2]);
    if (argc != 4) {
        std::cerr << "usage: brivant-cli-docs VERSION DATE OUT_FOLDER | --readme README.md\n";
        return 2;
    }
    const brivant::DocsInfo info{argv[1], argv[2]};
    const std::string dir = argv[3];
    std::ostringstream out, err;
    std::istringstream in;
    brivant::CommandTable table(in, out, err);
    const std::pair<const char*, std::string> files[] = {
        {"brivant-cli.1", brivant::CliManPage(table.app, info)},
        {"brivant.1", brivant::WindowManPage(info)},
        {"brivant-cli.bash", brivant::BashCompletion(table.app)},
        {"_brivant-cli", brivant::ZshCompletion(table.app)},
    };
    for (const auto& [name, text] : files) {
        std::ofstream file(dir + "/" + name, std::ios::binary);
        file << text;
        file.close();
        if (!file) {
            std::cerr << "brivant-cli-docs: cannot write " << dir << "/" << name << '\n';
            return 1;
        }
    }
    return 0;
}
