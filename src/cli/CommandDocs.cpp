#include "cli/CommandDocs.h"

#include <cctype>
#include <map>
#include <sstream>
#include <vector>

#include "image/PhoneTypes.h"

namespace brivant {

namespace {

constexpr const char* kProgram = "brivant-cli";

// A command of the table with the words that reach it ("bmp import").
struct Node {
    std::string path;
    const CLI::App* app;
};

std::vector<const CLI::App*> Subcommands(const CLI::App& app) {
    return app.get_subcommands([](const CLI::App*) { return true; });
}

// Every command and group, depth first in the order --help lists them.
void Walk(const CLI::App& app, const std::string& path, std::vector<Node>& nodes) {
    for (const CLI::App* sub : Subcommands(app)) {
        const std::string p = path.empty() ? sub->get_name() : path + " " + sub->get_name();
        nodes.push_back({p, sub});
        Walk(*sub, p, nodes);
    }
}

std::vector<Node> Nodes(const CLI::App& app) {
    std::vector<Node> nodes;
    Walk(app, "", nodes);
    return nodes;
}

bool IsLeaf(const CLI::App& app) {
    return Subcommands(app).empty();
}

std::vector<const CLI::Option*> Positionals(const CLI::App& app) {
    return app.get_options([](const CLI::Option* o) { return o->get_positional(); });
}

std::vector<const CLI::Option*> Named(const CLI::App& app) {
    return app.get_options([](const CLI::Option* o) { return o->nonpositional(); });
}

// "-o, --output" and the like, every name the option has.
std::vector<std::string> OptionNames(const CLI::Option& o) {
    std::vector<std::string> names;
    for (const std::string& s : o.get_snames()) names.push_back("-" + s);
    for (const std::string& l : o.get_lnames()) names.push_back("--" + l);
    return names;
}

bool TakesValue(const CLI::Option& o) {
    return o.get_type_size_max() > 0;
}

// Text for roff: backslashes doubled as escapes, hyphens as minus signs where they belong
// to options, and no line starting with a control character.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out.push_back(c);
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A value for an argument in the examples, by its name.
std::string ExampleValue(const std::string& name) {
    static const std::map<std::string, std::string> values = {
        {"IMAGE", "phone.fls"}, {"A", "old.fls"},
        {"B", "new.fls"},       {"ROW", "0"},
        {"OUT", "out.bin"},     {"IN", "in.bin"},
        {"TAG", "TONE"},        {"ID", "00A"},
        {"TEXTS", "texts.txt"}, {"OPS", "operators.txt"},
        {"NAME", "pictures"},   {"FIRST", "pictures000.bmp"},
        {"KIND", "standard"},
    };
    const auto it = values.find(name);
    if (it != values.end()) return it->second;
    std::string lower;
    for (char c : name)
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return lower;
}

std::string Example(const Node& n) {
    std::string line = std::string(kProgram) + " " + n.path;
    for (const CLI::Option* p : Positionals(*n.app))
        if (p->get_required()) line += " " + ExampleValue(p->get_name());
    for (const CLI::Option* o : Named(*n.app))
        if (o->check_lname("output")) line += " -o out.fls";
    return line;
}

std::string Synopsis(const Node& n) {
    std::string line = "\\fB" + Roff(std::string(kProgram) + " " + n.path) + "\\fR";
    for (const CLI::Option* p : Positionals(*n.app)) {
        const std::string arg = "\\fI" + Roff(p->get_name()) + "\\fR";
        line += " " + (p->get_required() ? arg : "[" + arg + "]");
    }
    if (!Named(*n.app).empty()) line += " [\\fIOPTIONS\\fR]";
    return line;
}

void CommandSection(std::ostream& out, const Node& n) {
    out << ".SS \"" << n.path << "\"\n";
    out << Synopsis(n) << "\n.br\n" << Roff(n.app->get_description()) << ".\n";
    const auto positionals = Positionals(*n.app);
    if (!positionals.empty()) out << ".PP\nArguments:\n";
    for (const CLI::Option* p : positionals)
        out << ".TP\n\\fI" << Roff(p->get_name()) << "\\fR\n" << Roff(p->get_description()) << "\n";
    out << ".PP\nOptions:\n";
    for (const CLI::Option* o : Named(*n.app)) {
        out << ".TP\n";
        const auto names = OptionNames(*o);
        for (std::size_t i = 0; i < names.size(); ++i)
            out << (i ? ", " : "") << "\\fB" << Roff(names[i]) << "\\fR";
        if (TakesValue(*o)) out << " \\fI" << Roff(o->get_type_name()) << "\\fR";
        out << "\n" << Roff(o->get_description()) << "\n";
    }
    out << ".PP\nExample:\n.PP\n.RS 4\n.EX\n" << Roff(Example(n)) << "\n.EE\n.RE\n";
}

void Title(std::ostream& out, const std::string& name, const DocsInfo& info) {
    std::string upper;
    for (char c : name)
        upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    out << ".\\\" Generated from the program's command table; edit the program, not this page.\n"
        << ".TH " << upper << " 1 " << info.date << " \"Brivant Pro " << info.version
        << "\" \"User Commands\"\n";
}

void PhoneTypes(std::ostream& out) {
    out << ".SH \"PHONE TYPES\"\n"
        << "The phone type is detected when an image is opened; \\fB\\-\\-type\\fR names it "
           "for an image whose detection finds none. The types are:\n.PP\n";
    const auto& texts = PhoneTypeTexts();
    for (std::size_t i = 1; i < texts.size(); ++i)
        out << (i > 1 ? ",\n" : "") << "\\fB" << Roff(texts[i]) << "\\fR";
    out << ".\n";
}

void FileFormats(std::ostream& out) {
    out << ".SH \"FILE FORMATS\"\n"
        << ".TP\n\\fI*.fls\\fR\nA phone's whole flash image: the MCU area with its checksum, "
           "then the PPM area with its chunks, and a file check value at the end.\n"
        << ".TP\n\\fI*.re\\fR\nA tone file: one ringtone or alert tone as the phone stores it.\n"
        << ".TP\n\\fI*.lng\\fR\nA language chunk file: the texts of one language.\n"
        << ".TP\n\\fI*.opr\\fR\nA country record file: a country of the operator table with "
           "its operators.\n"
        << ".TP\n\\fI*.bin\\fR\nA PPMChunk file: one whole chunk of the PPM area.\n"
        << ".TP\n\\fI*.bmp\\fR, \\fI*.png\\fR, \\fI*.gif\\fR, \\fI*.jpg\\fR, \\fI*.pbm\\fR, "
           "\\fI*.xbm\\fR\nPicture files. \\fBbmp import\\fR reads BMP, PNG, GIF, JPEG, PBM and "
           "XBM: a pixel darker than \\fB\\-\\-threshold\\fR (default 128) is set, or "
           "\\fB\\-\\-dither\\fR spreads the error; a two-colour picture keeps its black. "
           "Bitmaps are written as 1-bit BMP or PNG, animations as an animated GIF or a PNG "
           "strip, the sheet as PNG: the format follows \\fB\\-\\-format\\fR, else the output "
           "name's extension, and an extension the command cannot write is refused.\n"
        << ".PP\nWhere a command reads a file whole, \\fB\\-\\fR reads standard input; where "
           "it writes one, \\fB\\-\\fR writes standard output. A file named \\fB\\-\\fR is "
           "given as \\fB./\\-\\fR.\n";
}

void WindowEnvironment(std::ostream& out) {
    out << ".TP\n\\fBBRIVANT_SCREENSHOT\\fR=\\fITAB\\fR:\\fIFILE.png\\fR\n"
        << "The window shows the tab of that caption (any case), saves a picture of itself to "
           "\\fIFILE.png\\fR once its lists are filled and quits; exit status 1 when the "
           "picture could not be written.\n"
        << ".TP\n\\fBBRIVANT_STARTUP_TIMING\\fR=\\fB1\\fR|\\fBexit\\fR\n"
        << "The window prints on standard error how long it took to be painted and to paint "
           "the first rows of a list; with \\fBexit\\fR it quits then.\n";
}

// The bash word list of a node: its subcommands, or its options.
std::string Words(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

std::vector<std::string> SubNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* s : Subcommands(app)) names.push_back(s->get_name());
    return names;
}

std::vector<std::string> AllOptionNames(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::Option* o : Named(app))
        for (const std::string& n : OptionNames(*o)) names.push_back(n);
    return names;
}

std::vector<std::string> PhoneTypeList() {
    const auto& texts = PhoneTypeTexts();
    return {texts.begin() + 1, texts.end()};
}

// The values an option or argument takes when it takes one of a list: the phone types for
// --type, else the list its check names ("{a,b,c}" in its type name).
std::vector<std::string> Choices(const CLI::Option& o) {
    if (o.check_lname("type")) return PhoneTypeList();
    const std::string t = o.get_type_name();
    const std::size_t open = t.find('{');
    const std::size_t close = open == std::string::npos ? open : t.find('}', open);
    if (close == std::string::npos) return {};
    std::vector<std::string> values;
    std::string v;
    for (char c : t.substr(open + 1, close - open - 1)) {
        if (c == ',') {
            values.push_back(v);
            v.clear();
        } else {
            v.push_back(c);
        }
    }
    values.push_back(v);
    return values;
}

// For each command path, the values of its options ("PATH|--format") and of its arguments
// ("PATH|"): what the completions offer after such an option, or for an argument.
std::vector<std::pair<std::string, std::vector<std::string>>> ValueLists(const CLI::App& app);

// Text inside single quotes in a shell script.
std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// A zsh description: colons separate name and text there.
std::string ZshDescribed(const std::string& name, const std::string& help) {
    std::string text = name + ":";
    for (char c : help) text += c == ':' ? std::string("\\:") : std::string(1, c);
    return Quoted(text);
}

std::vector<std::pair<std::string, std::vector<std::string>>> ValueLists(const CLI::App& app) {
    std::vector<std::pair<std::string, std::vector<std::string>>> lists;
    for (const Node& n : Nodes(app)) {
        if (!IsLeaf(*n.app)) continue;
        std::vector<std::string> positional;
        for (const CLI::Option* o : n.app->get_options()) {
            const auto values = Choices(*o);
            if (values.empty()) continue;
            if (o->get_positional()) {
                positional.insert(positional.end(), values.begin(), values.end());
                continue;
            }
            for (const std::string& name : OptionNames(*o))
                lists.push_back({n.path + "|" + name, values});
        }
        if (!positional.empty()) lists.push_back({n.path + "|", positional});
    }
    return lists;
}

}  // namespace

std::string CliManPage(const CLI::App& app, const DocsInfo& info) {
    std::ostringstream out;
    Title(out, kProgram, info);
    out << ".SH NAME\nbrivant\\-cli \\- inspect and edit phone flash images\n"
        << ".SH SYNOPSIS\n\\fBbrivant\\-cli\\fR \\fICOMMAND\\fR [\\fISUBCOMMAND\\fR] "
           "[\\fIARGUMENTS\\fR] [\\fIOPTIONS\\fR]\n.br\n"
        << "\\fBbrivant\\-cli\\fR \\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n"
        << ".SH DESCRIPTION\n\\fBbrivant\\-cli\\fR opens a phone flash image exactly as the "
           "Brivant Pro window, \\fBbrivant\\fR(1), does, runs one command on it and, for the "
           "commands that change it, saves it exactly as the window does: the PPM copy written "
           "back, a \\fI.bak\\fR copy when writing over the opened file, then the checksums "
           "of the saved file repaired.\n.PP\nEvery command takes \\fB\\-\\-help\\fR for its "
           "own arguments and options. Rows of the lists are counted from 0, as the lists "
           "show them.\n"
        << ".SH \"COMMON OPTIONS\"\n"
        << ".TP\n\\fB\\-o\\fR \\fIOUT.fls\\fR, \\fB\\-\\-in\\-place\\fR\nWhere a command that "
           "changes the image writes it; \\fB\\-o \\-\\fR writes it to standard output.\n"
        << ".TP\n\\fB\\-\\-type\\fR \\fITYPE\\fR\nThe phone type when detection finds none "
           "(see PHONE TYPES).\n"
        << ".TP\n\\fB\\-\\-no\\-checksum\\fR\nLeave the saved file's checksums as they are.\n"
        << ".TP\n\\fB\\-\\-json\\fR\nPrint exactly one JSON object on standard output. Bytes "
           "that are not UTF\\-8 (in a file name, say) are written as \\fB\\eu00\\fR\\fIXX\\fR, "
           "the code point of the byte's value.\n"
        << ".TP\n\\fB\\-q\\fR, \\fB\\-\\-quiet\\fR\nPrint no success lines, only warnings and "
           "errors.\n"
        << ".PP\nText printed on standard output writes control bytes read from the image as "
           "\\fB\\ex\\fR\\fIHH\\fR, one row a line.\n"
        << ".SH COMMANDS\n";
    for (const Node& n : Nodes(app)) {
        if (IsLeaf(*n.app)) CommandSection(out, n);
    }
    PhoneTypes(out);
    FileFormats(out);
    out << ".SH ENVIRONMENT\n.TP\n\\fBTMPDIR\\fR\nWhere standard input is kept while a "
           "command reads it as a file (default \\fI/tmp\\fR).\n"
        << ".PP\nThe window, \\fBbrivant\\fR(1), also reads:\n";
    WindowEnvironment(out);
    out << ".SH \"EXIT STATUS\"\n.TP\n\\fB0\\fR\nThe command did what it was asked.\n"
        << ".TP\n\\fB1\\fR\nThe command failed (its message is on standard error), an input "
           "file could not be read, or the output could not be written. A failing command "
           "never modifies its input and never leaves a partly written output behind. An "
           "edit whose result is the same bytes as \\fIIMAGE\\fR (the same picture loaded "
           "again, the same texts typed) fails too, and nothing is written.\n"
        << ".TP\n\\fB2\\fR\nWrong usage: an unknown command or option, a bad argument, "
           "\\fB\\-\\-json\\fR with a file written to standard output, or binary data for a "
           "terminal.\n"
        << ".PP\nThese commands have statuses of their own:\n"
        << ".TP\n\\fBdiff\\fR\n0 when the images are equal, 1 when they differ, 2 on trouble "
           "(an image that cannot be read, a recipe or the answer that cannot be written).\n"
        << ".TP\n\\fBcheck\\fR\n0 when nothing is wrong, 1 when something is, 2 when the "
           "image cannot be read or the report cannot be written.\n"
        << ".TP\n\\fBchecksum \\-\\-check\\fR\n1 when a stored checksum is not the computed "
           "one.\n"
        << ".TP\n\\fBsearch\\fR\n0 also when it finds nothing.\n"
        << ".SH EXAMPLES\n.EX\nbrivant\\-cli demo x.fls \\-\\-type 3310\n"
           "brivant\\-cli info x.fls \\-\\-json\n"
           "brivant\\-cli space adjust x.fls \\-\\-mcu 4096 \\-o y.fls\n"
           "brivant\\-cli demo \\- | brivant\\-cli tones list \\-\n.EE\n"
        << ".SH \"SEE ALSO\"\n\\fBbrivant\\fR(1)\n";
    return out.str();
}

std::string WindowManPage(const DocsInfo& info) {
    std::ostringstream out;
    Title(out, "brivant", info);
    out << ".SH NAME\nbrivant \\- editor for phone flash images\n"
        << ".SH SYNOPSIS\n\\fBbrivant\\fR [\\fB\\-\\-version\\fR] [\\fB\\-\\-help\\fR] "
           "[\\fIIMAGE\\fR]\n"
        << ".SH DESCRIPTION\n\\fBbrivant\\fR is the Brivant Pro window: it opens a phone's "
           "flash image (\\fI*.fls\\fR) and changes its ringtones, alert tones, languages, "
           "operator table, menu tree, bitmaps and animations, applies code patches, moves "
           "free space between the MCU and PPM areas and saves it with repaired checksums.\n"
        << ".PP\nWith \\fIIMAGE\\fR, that image is opened at start, as if picked in the open "
           "dialog.\n"
        << ".SH OPTIONS\n.TP\n\\fB\\-\\-help\\fR\nPrint the usage and exit.\n"
        << ".TP\n\\fB\\-\\-version\\fR\nPrint the program's name and version and exit.\n"
        << ".SH ENVIRONMENT\n";
    WindowEnvironment(out);
    out << ".SH \"EXIT STATUS\"\n0 when the window was closed, 1 when a requested picture "
           "could not be written, 2 on wrong usage (an unknown option, say).\n"
        << ".SH \"SEE ALSO\"\n\\fBbrivant\\-cli\\fR(1)\n";
    return out.str();
}

std::string BashCompletion(const CLI::App& app) {
    std::ostringstream out;
    out << "# bash completion for brivant-cli, generated from its command table.\n"
        << "# shellcheck shell=bash\n\n"
        << "# The subcommands of a command path (\"\" for the program itself).\n"
        << "_brivant_cli_commands() {\n    case $1 in\n"
        << "        '') echo " << Quoted(Words(SubNames(app))) << " ;;\n";
    const auto nodes = Nodes(app);
    for (const Node& n : nodes)
        if (!IsLeaf(*n.app))
            out << "        " << Quoted(n.path) << ") echo " << Quoted(Words(SubNames(*n.app)))
                << " ;;\n";
    out << "    esac\n}\n\n"
        << "# The options of a command path.\n"
        << "_brivant_cli_options() {\n    case $1 in\n"
        << "        '') echo '--help --version' ;;\n";
    for (const Node& n : nodes)
        out << "        " << Quoted(n.path) << ") echo " << Quoted(Words(AllOptionNames(*n.app)))
            << " ;;\n";
    out << "    esac\n}\n\n"
        << "# The values an option (\"PATH|OPTION\") or the arguments (\"PATH|\") of a "
           "command take.\n"
        << "_brivant_cli_values() {\n    case $1 in\n";
    for (const auto& [key, values] : ValueLists(app))
        out << "        " << Quoted(key) << ") echo " << Quoted(Words(values)) << " ;;\n";
    out << "    esac\n}\n\n"
        << "_brivant_cli() {\n"
        << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=\"\" path=\"\" word i\n"
        << "    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
        << "    COMPREPLY=()\n"
        << "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
        << "        word=${COMP_WORDS[i]}\n"
        << "        [[ $word == -* ]] && continue\n"
        << "        if [[ \" $(_brivant_cli_commands \"$path\") \" == *\" $word \"* ]]; then\n"
        << "            path=${path:+$path }$word\n"
        << "        fi\n"
        << "    done\n"
        << "    local values\n"
        << "    values=$(_brivant_cli_values \"$path|$prev\")\n"
        << "    if [[ -n $values && $prev == -* ]]; then\n"
        << "        mapfile -t COMPREPLY < <(compgen -W \"$values\" -- \"$cur\")\n"
        << "    elif [[ $cur == -* ]]; then\n"
        << "        mapfile -t COMPREPLY < <(compgen -W \"$(_brivant_cli_options \"$path\")\" "
           "-- \"$cur\")\n"
        << "    else\n"
        << "        local commands\n"
        << "        commands=$(_brivant_cli_commands \"$path\")\n"
        << "        # Past the last command word the arguments are values of a list (KIND, "
           "TAG, ...) or files: the default completion.\n"
        << "        [[ -z $commands ]] && commands=$(_brivant_cli_values \"$path|\")\n"
        << "        [[ -n $commands ]] && mapfile -t COMPREPLY < <(compgen -W \"$commands\" -- "
           "\"$cur\")\n"
        << "    fi\n"
        << "    return 0\n"
        << "}\n\n"
        << "complete -o bashdefault -o default -F _brivant_cli brivant-cli\n";
    return out.str();
}

std::string ZshCompletion(const CLI::App& app) {
    std::ostringstream out;
    out << "#compdef brivant-cli\n"
        << "# zsh completion for brivant-cli, generated from its command table.\n\n"
        << "_brivant-cli() {\n"
        << "    local path='' word i\n"
        << "    local -a commands options\n"
        << "    for (( i = 2; i < CURRENT; i++ )); do\n"
        << "        word=${words[i]}\n"
        << "        [[ $word == -* ]] && continue\n"
        << "        commands=(${(f)\"$(_brivant-cli-commands \"$path\")\"})\n"
        << "        (( ${commands[(I)$word:*]} )) && path=${path:+$path }$word\n"
        << "    done\n"
        << "    local -a values\n"
        << "    values=(${(f)\"$(_brivant-cli-values \"$path|${words[CURRENT-1]}\")\"})\n"
        << "    if [[ ${words[CURRENT-1]} == -* ]] && (( ${#values} )); then\n"
        << "        compadd -a values\n"
        << "    elif [[ $PREFIX == -* ]]; then\n"
        << "        options=(${(f)\"$(_brivant-cli-options \"$path\")\"})\n"
        << "        _describe -t options option options\n"
        << "    else\n"
        << "        commands=(${(f)\"$(_brivant-cli-commands \"$path\")\"})\n"
        << "        if (( ${#commands} )); then\n"
        << "            _describe -t commands command commands\n"
        << "        else\n"
        << "            values=(${(f)\"$(_brivant-cli-values \"$path|\")\"})\n"
        << "            (( ${#values} )) && compadd -a values\n"
        << "            _files\n"
        << "        fi\n"
        << "    fi\n"
        << "}\n\n"
        << "_brivant-cli-values() {\n    case $1 in\n";
    for (const auto& [key, values] : ValueLists(app)) {
        out << "        " << Quoted(key) << ")\n";
        for (const std::string& v : values) out << "        print -r -- " << Quoted(v) << "\n";
        out << "        ;;\n";
    }
    out << "    esac\n}\n\n"
        << "_brivant-cli-commands() {\n    case $1 in\n";
    const auto nodes = Nodes(app);
    auto commandLines = [&](const CLI::App& node) {
        std::string lines;
        for (const CLI::App* s : Subcommands(node))
            lines +=
                "        print -r -- " + ZshDescribed(s->get_name(), s->get_description()) + "\n";
        return lines;
    };
    out << "        '')\n" << commandLines(app) << "        ;;\n";
    for (const Node& n : nodes)
        if (!IsLeaf(*n.app))
            out << "        " << Quoted(n.path) << ")\n" << commandLines(*n.app) << "        ;;\n";
    out << "    esac\n}\n\n"
        << "_brivant-cli-options() {\n    case $1 in\n"
        << "        '')\n        print -r -- '--help:Print the usage and exit'\n"
        << "        print -r -- '--version:Print the name and version and exit'\n        ;;\n";
    for (const Node& n : nodes) {
        out << "        " << Quoted(n.path) << ")\n";
        for (const CLI::Option* o : Named(*n.app))
            for (const std::string& name : OptionNames(*o))
                out << "        print -r -- " << ZshDescribed(name, o->get_description()) << "\n";
        out << "        ;;\n";
    }
    out << "    esac\n}\n\n_brivant-cli \"$@\"\n";
    return out.str();
}

}  // namespace brivant

namespace brivant {

namespace {

// Text for Markdown: the characters that would start emphasis or markup taken literally.
std::string Markdown(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '*' || c == '_' || c == '<' || c == '>' || c == '[' || c == ']' || c == '`')
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// The value an option takes as the reference writes it: its choices, else its type's name.
std::string ValueName(const CLI::Option& o) {
    const auto values = Choices(o);
    if (!values.empty() && !o.check_lname("type")) {
        std::string text;
        for (const std::string& v : values) text += (text.empty() ? "" : "|") + v;
        return text;
    }
    const std::string t = o.get_type_name();
    return t.substr(0, t.find(':'));
}

// Options every command takes, named once above the list rather than at every command.
bool Everywhere(const CLI::Option& o) {
    return o.check_lname("quiet") || o.check_lname("help");
}

// Options that mean the same wherever they are: named at a command, described once above.
bool Common(const CLI::Option& o) {
    for (const char* name : {"type", "json", "output", "in-place", "no-checksum"})
        if (o.check_lname(name)) return true;
    return false;
}

}  // namespace

std::string CliReadmeReference(const CLI::App& app) {
    std::ostringstream out;
    out << kReadmeBegin << "\n\n"
        << "Every command also takes `-q`/`--quiet` and `--help`. The common options named "
           "after \"also\" mean the same everywhere: `--type TEXT` the phone type when "
           "detection finds none, `--json` one JSON object, `-o`/`--output FILE` and "
           "`--in-place` where the changed image goes, `--no-checksum` no checksum repair.\n\n";
    for (const Node& n : Nodes(app)) {
        if (!IsLeaf(*n.app)) continue;
        out << "- **`" << n.path;
        for (const CLI::Option* p : Positionals(*n.app))
            out << " " << (p->get_required() ? p->get_name() : "[" + p->get_name() + "]");
        out << "`**: " << Markdown(n.app->get_description()) << ".";
        for (const CLI::Option* p : Positionals(*n.app)) {
            if (p->get_name() == "IMAGE") continue;
            out << " `" << p->get_name() << "`: " << Markdown(p->get_description()) << ".";
        }
        std::string also;
        for (const CLI::Option* o : Named(*n.app)) {
            if (Everywhere(*o)) continue;
            const auto names = OptionNames(*o);
            if (Common(*o)) {
                also += (also.empty() ? "" : ", ") + ("`" + names.back() + "`");
                continue;
            }
            out << " `" << names.back();
            const std::string value = TakesValue(*o) ? ValueName(*o) : std::string();
            if (!value.empty()) out << " " << value;
            out << "`: " << Markdown(o->get_description()) << ".";
        }
        if (!also.empty()) out << " Also " << also << ".";
        out << "\n";
    }
    out << "\n" << kReadmeEnd << "\n";
    return out.str();
}

std::string WithReadmeReference(const std::string& readme, const CLI::App& app) {
    const std::size_t begin = readme.find(kReadmeBegin);
    const std::size_t end = readme.find(kReadmeEnd);
    if (begin == std::string::npos || end == std::string::npos || end < begin) return {};
    std::size_t after = end + std::string(kReadmeEnd).size();
    if (after < readme.size() && readme[after] == '\n') ++after;
    return readme.substr(0, begin) + CliReadmeReference(app) + readme.substr(after);
}

}  // namespace brivant
