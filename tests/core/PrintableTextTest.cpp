#include <gtest/gtest.h>

#include <string>

#include "cli/ScriptedInteraction.h"
#include "core/PrintableText.h"
#include "core/UserError.h"

using namespace brivant;
using namespace std::string_literals;

TEST(PrintableText, ControlBytesAreSpelledOutAndNothingIsCut) {
    EXPECT_EQ(PrintableText("en"), "en");
    EXPECT_EQ(PrintableText("\x1B[2J"s), "\\x1B[2J");
    EXPECT_EQ(PrintableText("a\0b"s), "a\\x00b");
    EXPECT_EQ(PrintableText("\a\t\r\n\x7F"s), "\\x07\\x09\\x0D\\x0A\\x7F");
    // C1 controls too; Latin-1 letters stay bytes for the display conversion.
    EXPECT_EQ(PrintableText("\x80\x9B\x9F\xA0\xE9\xFF"s), "\\x80\\x9B\\x9F\xA0\xE9\xFF");
    EXPECT_EQ(PrintableText(""), "");
}

TEST(PrintableText, MessagesKeepTheirWholeText) {
    // A NUL from the image must not end the message where it stands.
    const UserError e("Language \0xy is damaged"s);
    EXPECT_EQ(std::string(e.what()), "Language \\x00xy is damaged");
    EXPECT_EQ(WithoutNul("a\0\0"s), "a\\x00\\x00");

    // The command line's sink: one line, control characters escaped, stored Latin-1 bytes
    // as UTF-8, C1 controls escaped whichever way they came.
    EXPECT_EQ(MessageLine("Cannot open x.\r\n(No such file.)"), "Cannot open x. (No such file.)");
    EXPECT_EQ(MessageLine("tag \x1B]0;x\x07 end"), "tag \\x1B]0;x\\x07 end");
    EXPECT_EQ(MessageLine("caf\xE9 \x9B"), "caf\xC3\xA9 \\x9B");
    EXPECT_EQ(MessageLine("caf\xC3\xA9 \xC2\x9B"), "caf\xC3\xA9 \\x9B");
}
