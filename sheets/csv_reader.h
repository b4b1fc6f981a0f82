#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

// How a CSV file's text was written.
enum class CsvEncoding { utf8_with_mark, utf8, system };

// One row of a CSV file: its place (the header is row 1; rows count records, not lines, and
// empty lines are none) and its fields in the bytes the data files keep (the system's 8-bit
// encoding). unstorable is set when a field holds a character that encoding cannot hold.
struct CsvRow {
    std::size_t number = 0;
    std::vector<std::string> fields;
    bool unstorable = false;
};

struct CsvTable {
    CsvEncoding encoding = CsvEncoding::utf8;
    char separator = ',';
    std::vector<std::string> header;
    std::vector<CsvRow> rows;
};

// A CSV file as RFC 4180 writes it, read leniently as spreadsheets write it: comma or
// semicolon between fields (whichever the header line holds more of outside quotes), CR LF,
// LF or CR between rows, a quote inside an unquoted field kept as it is, blanks around a
// field kept. UTF-8 (with or without a byte-order mark) when the bytes are valid UTF-8,
// else the system's encoding. Any bytes read as some rows, none refused.
CsvTable read_csv(std::string_view bytes);

} // namespace durnmoor
