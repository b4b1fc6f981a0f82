// Any bytes as a CSV file to import: every row is either stored or refused with a reason,
// the register's rewrite never refuses a record (nothing is half-imported), each stored row's
// fields are in the register byte for byte, and the rows stored, written out as CSV again,
// read back to the same instruments.
#include "sheets/csv_reader.h"
#include "sheets/import_plan.h"
#include "text/csv_row.h"

#include "fuzz_support.h"

#include <iterator>
#include <set>

using namespace durnmoor;
using fuzz::require;

namespace {

std::string two_records()
{
    std::string bytes;
    for (const char *number : {"A", "B"}) {
        bytes += number;
        bytes += "\r\nold\r\n";
        for (int line = 3; line <= product_line_count; ++line)
            bytes += line == 30 ? "reserved\r\n" : "\r\n";
    }
    return bytes;
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    const CsvTable table = read_csv(text);
    ColumnMap columns = match_columns(table.header);
    if (std::find(columns.begin(), columns.end(), int(instrument_no)) == columns.end()) {
        // Headers the fuzzer makes rarely name a field: take the columns in file order.
        columns.assign(std::max<std::size_t>(table.header.size(), 3), 0);
        for (std::size_t c = 0; c < columns.size() && c < std::size_t(import_field_count); ++c)
            columns[c] = int(c) + 1;
    }
    const ProductsData existing(two_records());
    const ImportPlan plan = plan_import(table, columns, existing);

    // Every row is stored (a number given twice once) or refused, with a reason.
    std::set<std::size_t> refused;
    for (const RefusedRow &row : plan.refused) {
        require(!row.reason.isEmpty());
        require(refused.insert(row.row).second);
    }
    require(plan.rows.size() + refused.size() <= table.rows.size());
    std::set<std::string> numbers;
    for (const ImportedRow &row : plan.rows) {
        require(!refused.count(row.row));
        require(numbers.insert(row.fields[instrument_no - 1]).second);
        for (const std::string &field : row.fields)
            require(!holds_line_break(field));
    }
    const auto number_column = static_cast<std::size_t>(
        std::find(columns.begin(), columns.end(), int(instrument_no)) - columns.begin());
    for (const CsvRow &row : table.rows)
        require(refused.count(row.number) ||
                (number_column < row.fields.size() && numbers.count(row.fields[number_column])));

    // One rewrite holds them all, or there would be nothing to write.
    const ImportRewrite written = import_rewrite(existing, plan, columns);
    require(!written.rewrite.refused_line());
    require(written.notes.size() == plan.added + plan.replaced);
    const ProductsData after(std::string(written.rewrite.bytes()));
    require(after.size() == existing.size() + plan.added);
    for (const ImportedRow &row : plan.rows) {
        const std::size_t i = after.find(instrument_no, row.fields[instrument_no - 1]);
        require(i != RecordFile::npos);
        for (std::size_t c = 0; c < columns.size(); ++c)
            if (columns[c] > 0)
                require(after.line(i, columns[c]) == row.fields[columns[c] - 1]);
    }

    // Written out again, the stored rows read back as the same instruments.
    std::string again(utf8_byte_order_mark);
    append_csv_row(again, std::vector<std::string>(std::begin(product_field_names),
                                                   std::end(product_field_names)));
    for (const ImportedRow &row : plan.rows)
        append_csv_row(again, row.fields);
    const CsvTable reread = read_csv(again);
    const ImportPlan replanned = plan_import(reread, match_columns(reread.header), existing);
    require(replanned.refused.empty());
    require(replanned.rows.size() == plan.rows.size());
    for (std::size_t r = 0; r < plan.rows.size(); ++r)
        require(replanned.rows[r].fields == plan.rows[r].fields);
}
