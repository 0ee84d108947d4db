#include <gtest/gtest.h>

#include <sstream>

#include "cli/Rows.h"

using namespace brivant;

namespace {

const std::vector<Column> kColumns = {{"name", "Name", 6}, {"id", "ID", 4}, {"n", "N", 0}};

std::string Print(bool json, const std::vector<Row>& rows) {
    std::ostringstream out;
    PrintRows(out, json, kColumns, rows, "Things Count: " + std::to_string(rows.size()));
    return out.str();
}

}  // namespace

// Stored names are bytes: a byte above 7F takes one place in the table (two bytes of UTF-8)
// and is one character in JSON; names longer than their column push the rest along.
TEST(CliRows, TableAndJsonOfByteTexts) {
    const std::vector<Row> rows = {
        {"Ab", "0001", "7"}, {"\xE4\xF6", "0002", "8"}, {"Longest", "0003", ""}};
    EXPECT_EQ(Print(false, rows),
              "row  Name    ID    N\n"
              "0    Ab      0001  7\n"
              "1    \xC3\xA4\xC3\xB6      0002  8\n"
              "2    Longest  0003  \n"
              "Things Count: 3\n");
    EXPECT_EQ(Print(true, rows), R"({"rows":[{"name":"Ab","id":"0001","n":"7"},)"
                                 "{\"name\":\"\xC3\xA4\xC3\xB6\",\"id\":\"0002\",\"n\":\"8\"},"
                                 R"({"name":"Longest","id":"0003","n":""}],"count":3})"
                                 "\n");
    EXPECT_EQ(Print(false, {}), "row  Name    ID    N\nThings Count: 0\n");
    EXPECT_EQ(Print(true, {}), "{\"rows\":[],\"count\":0}\n");
}

// Bytes read from the image never act on the terminal nor split a row: control bytes (C1
// ones too) are written as \xHH in the table and in line lists, and take their printed width.
TEST(CliRows, ControlBytesAreEscapedOneRowPerLine) {
    const std::vector<Row> rows = {
        {"a\x1B"
         "b",
         "\n", "\x07\x85"}};
    EXPECT_EQ(Print(false, rows),
              "row  Name    ID    N\n"
              "0    a\\x1Bb  \\x0A  \\x07\\x85\n"
              "Things Count: 1\n");
    const struct {
        std::string in, out;
    } lines[] = {
        {"plain", "plain"},
        {"tab\there", "tab\\x09here"},
        {"line\nfeed\r", "line\\x0Afeed\\x0D"},
        {"del\x7F", "del\\x7F"},
        {"c1 \xC2\x9B!", "c1 \\x9B!"},                           // CSI as UTF-8
        {"latin \xC3\xA4 \xC2\xA0", "latin \xC3\xA4 \xC2\xA0"},  // printable, kept
    };
    for (const auto& l : lines) EXPECT_EQ(PrintableLine(l.in), l.out) << l.in;
}
