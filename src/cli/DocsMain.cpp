// Writes the manual pages and the shell completions of brivant-cli at build time.
// Usage: brivant-cli-docs VERSION DATE OUT_FOLDER

#include <fstream>
#include <iostream>
#include <sstream>

#include "cli/CliModule.h"
#include "cli/CommandDocs.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: brivant-cli-docs VERSION DATE OUT_FOLDER\n";
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
