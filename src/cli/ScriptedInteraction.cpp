#include "cli/ScriptedInteraction.h"

#include "core/HexText.h"
#include "core/PrintableText.h"

namespace brivant {

// Messages are one line each on stderr, in UTF-8 even when they carry stored name bytes.
// Line breaks become spaces; any other control character (C1 ones too, U+0080 to U+009F)
// is written as \xHH so that it never reaches the terminal.
std::string MessageLine(const std::string& message) {
    const std::string text = DisplayText(message);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else if (c < 0x20 || c == 0x7F) {
            out += PrintableText(text.substr(i, 1));
        } else if (c == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            out += PrintableText(text.substr(i + 1, 1));
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::optional<std::string> ScriptedInteraction::Next(std::deque<std::string>& q,
                                                     const std::string& question) {
    if (q.empty()) {
        if (unanswered_.empty()) unanswered_ = MessageLine(question);
        return std::nullopt;
    }
    std::string a = q.front();
    q.pop_front();
    return a;
}

std::optional<std::string> ScriptedInteraction::askOpenFile(const FileDialog& d) {
    return Next(openFiles, d.title);
}

std::optional<std::string> ScriptedInteraction::askSaveFile(const FileDialog& d) {
    return Next(saveFiles, d.title);
}

void ScriptedInteraction::tell(const std::string& text, MessageKind kind) {
    if (kind == MessageKind::Error) hadError_ = true;
    if (quiet && kind == MessageKind::Info) return;
    err_ << kProgramPrefix << MessageLine(text) << '\n';
}

std::optional<std::string> ScriptedInteraction::askText(const std::string& title,
                                                        const std::string& prompt,
                                                        const std::string&) {
    return Next(texts, title + ": " + prompt);
}

bool ScriptedInteraction::confirmChecksum(const std::string&) {
    return checksumOk;
}

}  // namespace brivant
