#include "cli/ScriptedInteraction.h"

#include "core/HexText.h"

namespace brivant {

// Messages are one line each on stderr, in UTF-8 even when they carry stored name bytes.
std::string MessageLine(const std::string& message) {
    const std::string text = DisplayText(message);
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ') out.push_back(' ');
        } else {
            out.push_back(c);
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
