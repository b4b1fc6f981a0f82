#include "sheets/csv_reader.h"

#include "text/csv_row.h"

#include <QByteArrayView>
#include <QStringConverter>

#include <csv.h>

#include <memory>

namespace durnmoor {

namespace {

// Whether the bytes are UTF-8 as RFC 3629 has it: no overlong forms, no surrogates, nothing
// past U+10FFFF.
bool valid_utf8(std::string_view bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (end - p <= more || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += more + 1;
    }
    return true;
}

// Whether the system's encoding is UTF-8: then UTF-8 text is stored as it is, byte for byte.
bool system_is_utf8()
{
    static const bool utf8 = [] {
        QStringEncoder system(QStringConverter::System);
        return system.encode(QStringLiteral("\u00e9\u20ac")) == QByteArray("\xC3\xA9\xE2\x82\xAC");
    }();
    return utf8;
}

// The separator the header line uses more of, outside quotes.
char separator_of(std::string_view bytes)
{
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    bool quoted = false;
    for (const char c : bytes) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

// Blanks around an unquoted field are part of it.
int no_space(unsigned char)
{
    return 0;
}

struct Collect {
    CsvTable &table;
    bool convert;
    QStringEncoder to_system{QStringConverter::System};
    CsvRow row;
    std::size_t rows_seen = 0;

    void field(const char *data, std::size_t size)
    {
        std::string_view bytes(data ? data : "", data ? size : 0);
        if (!convert) {
            row.fields.emplace_back(bytes);
            return;
        }
        const QString text =
            QString::fromUtf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        const QByteArray stored = to_system.encode(text);
        if (to_system.hasError()) {
            row.unstorable = true;
            to_system.resetState();
        }
        row.fields.push_back(stored.toStdString());
    }

    void end_row()
    {
        row.number = ++rows_seen;
        if (row.number == 1)
            table.header = std::move(row.fields);
        else
            table.rows.push_back(std::move(row));
        row = {};
    }
};

void on_field(void *data, std::size_t size, void *collect)
{
    static_cast<Collect *>(collect)->field(static_cast<const char *>(data), size);
}

void on_row(int, void *collect)
{
    static_cast<Collect *>(collect)->end_row();
}

} // namespace

CsvTable read_csv(std::string_view bytes)
{
    CsvTable table;
    if (bytes.starts_with(utf8_byte_order_mark)) {
        table.encoding = CsvEncoding::utf8_with_mark;
        bytes.remove_prefix(utf8_byte_order_mark.size());
    } else {
        table.encoding = valid_utf8(bytes) ? CsvEncoding::utf8 : CsvEncoding::system;
    }
    table.separator = separator_of(bytes);

    // Text in the system's encoding, or UTF-8 where that is the system's, is kept as it is.
    Collect collect{table, table.encoding != CsvEncoding::system && !system_is_utf8()};
    csv_parser parser;
    csv_init(&parser, 0);
    const std::unique_ptr<csv_parser, decltype(&csv_free)> freed(&parser, &csv_free);
    csv_set_delim(&parser, static_cast<unsigned char>(table.separator));
    csv_set_space_func(&parser, no_space);
    csv_parse(&parser, bytes.data(), bytes.size(), on_field, on_row, &collect);
    csv_fini(&parser, on_field, on_row, &collect);
    return table;
}

} // namespace durnmoor
