// The functions the page calls (through emscripten's ccall): each takes and returns text, a
// command line as its words joined by the unit separator (0x1F), an answer as one JSON object.

#include <emscripten/emscripten.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Json.h"
#include "cli/Pictures.h"
#include "web/WebSession.h"

namespace {

using brivant::Json;
using brivant::web::RunResult;
using brivant::web::WebSession;

WebSession& Session() {
    static WebSession session(".");
    return session;
}

std::vector<std::string> Words(std::string_view joined) {
    std::vector<std::string> words;
    if (joined.empty()) return words;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = joined.find('\x1f', start);
        words.emplace_back(joined.substr(start, end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return words;
}

void Names(Json& j, const char* key, const std::vector<std::string>& names) {
    j.Key(key).BeginArray();
    for (const std::string& n : names) j.String(n);
    j.EndArray();
}

// The answer: what the run gave, and the session's state after it.
const char* Answer(const RunResult& r) {
    static std::string text;
    const WebSession& s = Session();
    Json j;
    j.BeginObject();
    j.Key("status").Number(r.status);
    j.Key("out").String(r.out);
    j.Key("err").String(r.err);
    j.Key("image").String(s.Image());
    Names(j, "undo", s.UndoNames());
    Names(j, "redo", s.RedoNames());
    j.EndObject();
    text = j.Text();
    return text.c_str();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* brivant_open(const char* name) {
    return Answer(Session().Open(name));
}

EMSCRIPTEN_KEEPALIVE const char* brivant_look(const char* words) {
    return Answer(Session().Look(Words(words)));
}

EMSCRIPTEN_KEEPALIVE const char* brivant_step(const char* words, const char* label) {
    return Answer(Session().Step(Words(words), label));
}

EMSCRIPTEN_KEEPALIVE const char* brivant_undo() {
    return Answer(Session().Undo() ? RunResult{} : RunResult{1, {}, {}});
}

EMSCRIPTEN_KEEPALIVE const char* brivant_redo() {
    return Answer(Session().Redo() ? RunResult{} : RunResult{1, {}, {}});
}

}  // extern "C"

int main() {
    // Pictures are part of this program, as in the command line built for Node.
    brivant::SetPictureLoader(&brivant::LoadPictureModule);
    // The image lives in the working folder, so that messages name it by its own name.
    std::error_code ec;
    std::filesystem::create_directories("/session", ec);
    std::filesystem::current_path("/session", ec);
    return 0;
}
