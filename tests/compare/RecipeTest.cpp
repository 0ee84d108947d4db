#include <gtest/gtest.h>

#include "compare/JsonReader.h"
#include "compare/Recipe.h"
#include "core/UserError.h"
#include "support/TestSupport.h"

using namespace brivant;
using namespace brivant::test;

namespace {

std::string ParseError(const std::string& text) {
    try {
        ParseJson(text);
    } catch (const UserError& e) {
        return e.what();
    }
    return {};
}

}  // namespace

TEST(JsonReader, TakesWhatTheGrammarAllowsAndRefusesTheRest) {
    const std::vector<std::string> good = {R"({})",
                                           R"([])",
                                           R"( {"a": [1, -0, 2.5e-3, true, false, null, "x"]} )",
                                           R"("\u00e9\ud83d\ude00\n\"\\\/")",
                                           "\"\xC3\xA9\"",
                                           "0",
                                           "[[[]]]"};
    for (const std::string& text : good) EXPECT_EQ(ParseError(text), "") << text;

    const std::vector<std::pair<std::string, std::string>> bad = {
        {R"({"a": 1,})", "member name"},
        {R"([1, 2,])", "unexpected"},
        {R"({"a": 1, "a": 2})", "given twice"},
        {R"(// note
{})",
         "unexpected"},
        {"01", "after the end"},
        {"1.", "decimal point"},
        {"1e", "exponent"},
        {"+1", "unexpected"},
        {R"("\ud800")", "surrogate"},
        {R"("\udc00")", "surrogate"},
        {R"("\x")", "escape"},
        {"\"a\tb\"", "control character"},
        {"\"\xC0\xAF\"", "UTF-8"},      // overlong
        {"\"\xED\xA0\x80\"", "UTF-8"},  // encoded surrogate
        {"\"\xE2\x82\"", "UTF-8"},      // cut short
        {"\xEF\xBB\xBF{}", "byte order mark"},
        {"{\"a\": tru}", "unknown word"},
        {"\"open", "not closed"},
        {"", "end of the document"},
        {"{} {}", "after the end"}};
    for (const auto& [text, why] : bad) EXPECT_TRUE(Has(ParseError(text), why)) << text;
    EXPECT_TRUE(Has(ParseError("{\n  \"a\": ]"), "line 2, column 8")) << ParseError("{\n \"a\": ]");
}

TEST(JsonReader, NestingIsLimitedSoDeepDocumentsCannotExhaustTheStack) {
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_TRUE(Has(ParseError(deep), "nested deeper than 64"));
    const std::string ok = std::string(kJsonMaxDepth, '[') + std::string(kJsonMaxDepth, ']');
    EXPECT_EQ(ParseError(ok), "");
    EXPECT_TRUE(Has(ParseError("[" + ok + "]"), "nested deeper"));
}

TEST(JsonReader, IntegersOnlyWhenWholeAndInRange) {
    EXPECT_EQ(ParseJson("12").Integer(), 12);
    EXPECT_EQ(ParseJson("-7").Integer(), -7);
    EXPECT_EQ(ParseJson("1.0").Integer(), std::nullopt);
    EXPECT_EQ(ParseJson("1e2").Integer(), std::nullopt);
    EXPECT_EQ(ParseJson("1234567890123456789012").Integer(), std::nullopt);
    EXPECT_EQ(ParseJson("\"12\"").Integer(), std::nullopt);
}

TEST(Base64, RoundTripsEveryLengthAndRefusesAnythingElse) {
    const Bytes noise = NoiseBytes(64, 7);
    for (std::size_t n = 0; n < noise.size(); ++n) {
        const Bytes part(noise.begin(), noise.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_EQ(Base64Decode(Base64Encode(part)), part) << n;
    }
    EXPECT_EQ(Base64Encode({'M', 'a'}), "TWE=");
    for (const char* bad : {"TWE", "TW==x===", "T===", "TWE=TWE=", "TW E", "TWF=", "TQ=A", "****"})
        EXPECT_EQ(Base64Decode(bad), std::nullopt) << bad;
}

TEST(Recipe, TheShapeIsCheckedAndWhatIsWrittenReadsBack) {
    Recipe r;
    r.phoneType = "3310";
    r.steps.push_back({"tones delete", {{"row", JsonInteger(2)}}});
    r.steps.push_back({"patch lcd", {{"blinking", JsonTrue()}}});
    r.steps.push_back(
        {"bmp import", {{"id", JsonText("00A")}, {"in", EmbeddedFile({1, 2}, "a\"b")}}});
    r.notExpressed = {"Other bytes: 0x00000010, 4 bytes"};
    const Recipe back = ParseRecipe(RecipeText(r));
    EXPECT_EQ(back.phoneType, "3310");
    ASSERT_EQ(back.steps.size(), 3u);
    EXPECT_EQ(back.steps[2].command, "bmp import");
    EXPECT_EQ(JsonValueText(back.steps[2].args[1].second), R"({"base64": "AQI=", "name": "a\"b"})");
    EXPECT_EQ(back.notExpressed, r.notExpressed);

    const std::vector<std::pair<std::string, std::string>> bad = {
        {R"([])", "must be an object"},
        {R"({"steps": []})", "\"brivant-recipe\" is missing"},
        {R"({"brivant-recipe": 2, "steps": []})", "must be 1"},
        {R"({"brivant-recipe": 1})", "\"steps\" is missing"},
        {R"({"brivant-recipe": 1, "steps": {}})", "must be a list"},
        {R"({"brivant-recipe": 1, "steps": [1]})", "step 1 must be an object"},
        {R"({"brivant-recipe": 1, "steps": [{"args": {}}]})", "step 1: \"command\" is missing"},
        {R"({"brivant-recipe": 1, "steps": [{"command": "x", "arg": {}}]})", "unknown member"},
        {R"({"brivant-recipe": 1, "steps": [{"command": "x", "args": []}]})", "must be an object"},
        {R"({"brivant-recipe": 1, "steps": [], "phoneType": 3310})", "must be a string"},
        {R"({"brivant-recipe": 1, "steps": [], "notExpressed": [1]})", "list strings"},
        {R"({"brivant-recipe": 1, "steps": [], "extra": 1})", "unknown member \"extra\""}};
    for (const auto& [text, why] : bad) {
        std::string error;
        try {
            ParseRecipe(text);
        } catch (const UserError& e) {
            error = e.what();
        }
        EXPECT_TRUE(Has(error, why)) << text << " -> " << error;
    }
}
