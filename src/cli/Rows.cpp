#include "cli/Rows.h"

#include "core/HexText.h"
#include "core/PrintableText.h"

namespace brivant {

namespace {

constexpr const char* kRowCaption = "row";
constexpr std::size_t kRowWidth = 4;

// Stored bytes in UTF-8 with control bytes written as \xHH, padded by what they take on
// screen: one place per character.
std::string Cell(const std::string& bytes, std::size_t width) {
    const std::string printable = PrintableText(bytes);
    std::string shown = Latin1ToUtf8(printable);
    if (printable.size() < width) shown.append(width - printable.size(), ' ');
    return shown;
}

void TableLine(std::ostream& out, const std::string& lead, const std::vector<Column>& columns,
               const Row& cells) {
    out << Cell(lead, kRowWidth) << ' ';
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const bool last = c + 1 == columns.size();
        out << Cell(cells[c], last ? 0 : columns[c].width) << (last ? "\n" : "  ");
    }
}

}  // namespace

std::string PrintableLine(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const bool c1 = c == 0xC2 && i + 1 < utf8.size() &&
                        static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(utf8[i + 1]) < 0xA0;
        if (c < 0x20 || c == 0x7F) {
            out += PrintableText(utf8.substr(i, 1));
        } else if (c1) {
            out += PrintableText(utf8.substr(++i, 1));
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

void PrintRows(std::ostream& out, bool json, const std::vector<Column>& columns,
               const std::vector<Row>& rows, const std::string& countLine) {
    if (json) {
        Json j;
        j.BeginObject().Key("rows").BeginArray();
        for (const Row& row : rows) {
            j.BeginObject();
            for (std::size_t c = 0; c < columns.size(); ++c) j.Key(columns[c].key).Latin1(row[c]);
            j.EndObject();
        }
        j.EndArray().Key("count").Number(static_cast<std::int64_t>(rows.size())).EndObject();
        out << j.Text() << '\n';
        return;
    }
    Row captions;
    for (const Column& c : columns) captions.emplace_back(c.caption);
    TableLine(out, kRowCaption, columns, captions);
    for (std::size_t i = 0; i < rows.size(); ++i)
        TableLine(out, std::to_string(i), columns, rows[i]);
    out << countLine << '\n';
}

}  // namespace brivant
