#include "text/csv_row.h"

namespace durnmoor {

namespace {

template <typename Fields> void append_row(std::string &out, const Fields &fields)
{
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first)
            out += ',';
        first = false;
        if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
            out += field;
            continue;
        }
        out += '"';
        for (const char c : field) {
            if (c == '"')
                out += '"';
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
}

} // namespace

void append_csv_row(std::string &out, std::initializer_list<std::string_view> fields)
{
    append_row(out, fields);
}

void append_csv_row(std::string &out, std::span<const std::string> fields)
{
    append_row(out, fields);
}

} // namespace durnmoor
