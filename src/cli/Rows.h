#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Json.h"

namespace brivant {

// A column of a list as the window shows it: its key in JSON, its caption in the table, and
// the width its cells are padded to there (the last column is never padded).
struct Column {
    const char* key;
    const char* caption;
    std::size_t width;
};

// The cells of one row, in the order of the columns: byte texts, one character per byte.
using Row = std::vector<std::string>;

// Prints a list: with `json` one object {"rows":[{key:cell,...},...],"count":n}; otherwise a
// table headed by the captions, each row led by the number the commands take, and then the
// count line the window shows under the list.
void PrintRows(std::ostream& out, bool json, const std::vector<Column>& columns,
               const std::vector<Row>& rows, const std::string& countLine);

// A UTF-8 line as the lists print it on stdout: control characters (C1 ones too) written as
// \xHH, like messages, so that a stored byte never acts on the terminal or splits a row.
std::string PrintableLine(const std::string& utf8);

// Prints items: with `json` one object {key:[...]}, each item written by `asJson`; otherwise
// the line `asLine` makes of each.
template <typename Item, typename AsJson, typename AsLine>
void PrintEach(std::ostream& out, bool json, const char* key, const std::vector<Item>& items,
               AsJson asJson, AsLine asLine) {
    if (json) {
        Json j;
        j.BeginObject().Key(key).BeginArray();
        for (const Item& item : items) asJson(j, item);
        j.EndArray().EndObject();
        out << j.Text() << '\n';
        return;
    }
    for (const Item& item : items) out << PrintableLine(asLine(item)) << '\n';
}

}  // namespace brivant
