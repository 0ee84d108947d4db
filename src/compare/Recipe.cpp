#include "compare/Recipe.h"

#include <array>

#include "core/UserError.h"

namespace brivant {

namespace {

constexpr const char* kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

[[noreturn]] void Bad(const std::string& what) {
    throw UserError("not a recipe: " + what);
}

void Need(const JsonValue* v, JsonValue::Kind kind, const std::string& what) {
    if (!v) Bad(what + " is missing");
    if (!v->Is(kind)) Bad(what + " must be " + JsonKindName(kind));
}

void Quote(std::string& out, const std::string& text) {
    out += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char* hex = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void Write(std::string& out, const JsonValue& v) {
    switch (v.kind) {
        case JsonValue::Kind::Null:
            out += "null";
            return;
        case JsonValue::Kind::Bool:
            out += v.boolean ? "true" : "false";
            return;
        case JsonValue::Kind::Number:
            out += v.text;
            return;
        case JsonValue::Kind::String:
            Quote(out, v.text);
            return;
        case JsonValue::Kind::Array:
            out += '[';
            for (std::size_t i = 0; i < v.items.size(); ++i) {
                if (i > 0) out += ", ";
                Write(out, v.items[i]);
            }
            out += ']';
            return;
        case JsonValue::Kind::Object:
            out += '{';
            for (std::size_t i = 0; i < v.members.size(); ++i) {
                if (i > 0) out += ", ";
                Quote(out, v.members[i].first);
                out += ": ";
                Write(out, v.members[i].second);
            }
            out += '}';
            return;
    }
}

}  // namespace

Recipe ParseRecipe(std::string_view text) {
    const JsonValue doc = ParseJson(text);
    if (!doc.Is(JsonValue::Kind::Object)) Bad("the document must be an object");
    const JsonValue* version = doc.Find(kRecipeTag);
    if (!version) Bad(std::string("\"") + kRecipeTag + "\" is missing");
    if (version->Integer() != kRecipeVersion)
        Bad(std::string("\"") + kRecipeTag + "\" must be " + std::to_string(kRecipeVersion));
    for (const auto& [key, v] : doc.members)
        if (key != kRecipeTag && key != "phoneType" && key != "steps" && key != "notExpressed")
            Bad("unknown member \"" + key + "\"");
    Recipe r;
    if (const JsonValue* type = doc.Find("phoneType")) {
        Need(type, JsonValue::Kind::String, "\"phoneType\"");
        r.phoneType = type->text;
    }
    const JsonValue* steps = doc.Find("steps");
    Need(steps, JsonValue::Kind::Array, "\"steps\"");
    for (std::size_t i = 0; i < steps->items.size(); ++i) {
        const JsonValue& s = steps->items[i];
        const std::string which = "step " + std::to_string(i + 1);
        if (!s.Is(JsonValue::Kind::Object)) Bad(which + " must be an object");
        for (const auto& [key, v] : s.members)
            if (key != "command" && key != "args") Bad(which + ": unknown member \"" + key + "\"");
        const JsonValue* command = s.Find("command");
        Need(command, JsonValue::Kind::String, which + ": \"command\"");
        RecipeStep step{command->text, {}};
        if (const JsonValue* args = s.Find("args")) {
            Need(args, JsonValue::Kind::Object, which + ": \"args\"");
            step.args = args->members;
        }
        r.steps.push_back(std::move(step));
    }
    if (const JsonValue* rest = doc.Find("notExpressed")) {
        Need(rest, JsonValue::Kind::Array, "\"notExpressed\"");
        for (const JsonValue& item : rest->items) {
            if (!item.Is(JsonValue::Kind::String)) Bad("\"notExpressed\" must list strings");
            r.notExpressed.push_back(item.text);
        }
    }
    return r;
}

std::string RecipeText(const Recipe& r) {
    std::string out = "{\n  ";
    Quote(out, kRecipeTag);
    out += ": " + std::to_string(kRecipeVersion) + ",\n";
    if (!r.phoneType.empty()) {
        out += "  \"phoneType\": ";
        Quote(out, r.phoneType);
        out += ",\n";
    }
    out += "  \"steps\": [";
    for (std::size_t i = 0; i < r.steps.size(); ++i) {
        JsonValue step;
        step.kind = JsonValue::Kind::Object;
        step.members.emplace_back("command", JsonText(r.steps[i].command));
        JsonValue args;
        args.kind = JsonValue::Kind::Object;
        args.members = r.steps[i].args;
        step.members.emplace_back("args", std::move(args));
        out += i == 0 ? "\n    " : ",\n    ";
        Write(out, step);
    }
    out += r.steps.empty() ? "]" : "\n  ]";
    if (!r.notExpressed.empty()) {
        out += ",\n  \"notExpressed\": [";
        for (std::size_t i = 0; i < r.notExpressed.size(); ++i) {
            out += i == 0 ? "\n    " : ",\n    ";
            Quote(out, r.notExpressed[i]);
        }
        out += "\n  ]";
    }
    return out + "\n}\n";
}

JsonValue JsonText(std::string text) {
    JsonValue v;
    v.kind = JsonValue::Kind::String;
    v.text = std::move(text);
    return v;
}

JsonValue JsonInteger(long long v) {
    JsonValue j;
    j.kind = JsonValue::Kind::Number;
    j.text = std::to_string(v);
    return j;
}

JsonValue JsonTrue() {
    JsonValue v;
    v.kind = JsonValue::Kind::Bool;
    v.boolean = true;
    return v;
}

JsonValue EmbeddedFile(const Bytes& bytes, const std::string& name) {
    JsonValue v;
    v.kind = JsonValue::Kind::Object;
    v.members.emplace_back("base64", JsonText(Base64Encode(bytes)));
    v.members.emplace_back("name", JsonText(name));
    return v;
}

std::string Base64Encode(const Bytes& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t v = static_cast<std::uint32_t>(bytes[i]) << 16;
        if (n > 1) v |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
        if (n > 2) v |= bytes[i + 2];
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? kAlphabet[v & 63] : '=';
    }
    return out;
}

std::optional<Bytes> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::array<int, 256> value{};
    value.fill(-1);
    for (int i = 0; i < 64; ++i) value[static_cast<unsigned char>(kAlphabet[i])] = i;
    Bytes out;
    out.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int pad = 0;
        std::uint32_t v = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                ++pad;
                v <<= 6;
                continue;
            }
            const int d = value[static_cast<unsigned char>(c)];
            if (d < 0 || pad > 0) return std::nullopt;
            v = (v << 6) | static_cast<std::uint32_t>(d);
        }
        // The bits that padding drops must be zero, so every text has one decoding.
        if ((pad == 1 && (v & 0xFF) != 0) || (pad == 2 && (v & 0xFFFF) != 0)) return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(v >> 16));
        if (pad < 2) out.push_back(static_cast<std::uint8_t>(v >> 8));
        if (pad < 1) out.push_back(static_cast<std::uint8_t>(v));
    }
    return out;
}

std::string JsonValueText(const JsonValue& v) {
    std::string out;
    Write(out, v);
    return out;
}

}  // namespace brivant
