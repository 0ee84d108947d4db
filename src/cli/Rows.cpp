#include "cli/Rows.h"

#include "core/HexText.h"

namespace brivant {

namespace {

constexpr const char* kRowCaption = "row";
constexpr std::size_t kRowWidth = 4;

// Stored bytes in UTF-8, padded by what they take on screen: one place per byte.
std::string Cell(const std::string& bytes, std::size_t width) {
    std::string shown = Latin1ToUtf8(bytes);
    if (bytes.size() < width) shown.append(width - bytes.size(), ' ');
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
