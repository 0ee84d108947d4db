#include <gtest/gtest.h>

#include "cli/Json.h"

using namespace brivant;

// Strict JSON whatever the bytes: well-formed UTF-8 passes as it is, every byte outside it
// becomes \u00XX with the byte's value, control characters are escaped.
TEST(CliJson, StringsAreStrictJsonForAnyBytes) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain", "\"plain\""},
        {"quote\" back\\", "\"quote\\\" back\\\\\""},
        {"\n\t\x01\x7F", "\"\\n\\t\\u0001\\u007F\""},
        {"caf\xC3\xA9", "\"caf\xC3\xA9\""},                        // UTF-8 kept
        {"caf\xE9.fls", "\"caf\\u00E9.fls\""},                     // a Latin-1 file name
        {"\xFF\xFE", "\"\\u00FF\\u00FE\""},                        // never in UTF-8
        {"\xC0\xAF", "\"\\u00C0\\u00AF\""},                        // overlong "/"
        {"\xED\xA0\x80", "\"\\u00ED\\u00A0\\u0080\""},             // a surrogate
        {"\xE2\x82", "\"\\u00E2\\u0082\""},                        // cut short at the end
        {"\xE2\x82x", "\"\\u00E2\\u0082x\""},                      // cut short inside
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},              // four bytes, kept
        {"\xF4\x90\x80\x80", "\"\\u00F4\\u0090\\u0080\\u0080\""},  // past U+10FFFF
        {"\x80", "\"\\u0080\""},                                   // a lone continuation
    };
    for (const auto& c : cases) {
        Json j;
        j.String(c.in);
        EXPECT_EQ(j.Text(), c.out) << c.in;
    }
}
