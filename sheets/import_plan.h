#pragma once

#include "audit/audit_entry.h"
#include "register/products_file.h"
#include "sheets/csv_reader.h"

#include <QString>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

namespace durnmoor {

// The record's own fields, the ones a CSV column may fill: lines 1 to 19.
inline constexpr int import_field_count = first_reserved_line - 1;

// For each column of a CSV file, the record line it fills (1 to 19), or 0 for none.
using ColumnMap = std::vector<int>;

// Each column matched to the field whose name it bears, case and blanks ignored; a field
// named by two columns is filled by the first.
ColumnMap match_columns(const std::vector<std::string> &header);

// Why a row cannot be stored.
inline constexpr char refused_no_number[] = "It has no instrument number.";
inline constexpr char refused_date[] = "%1 is not a date.";
inline constexpr char refused_interval[] = "The interval is not 0 to 999 months.";
inline constexpr char refused_line_break[] = "%1 holds a line break.";
inline constexpr char refused_unstorable[] =
    "It holds a character the system's encoding cannot store.";
inline constexpr char purchase_date_name[] = "Date Purchased";
inline constexpr char last_calibrated_name[] = "Date Last Calibrated";

struct RefusedRow {
    std::size_t row = 0;
    QString reason;
};

// One instrument as a row gives it: the mapped fields' bytes, the rest empty.
struct ImportedRow {
    std::size_t row = 0;
    std::array<std::string, import_field_count> fields;
};

// What an import will do: the instruments it stores (a number given twice is stored as its
// last row gives it), the rows it cannot store, and how many records it adds and replaces.
struct ImportPlan {
    std::vector<ImportedRow> rows;
    std::vector<RefusedRow> refused;
    std::size_t added = 0;
    std::size_t replaced = 0;
};

ImportPlan plan_import(const CsvTable &table, const ColumnMap &columns,
                       const ProductsData &existing);

// The register with the plan stored: each record with an imported number replaced in its
// place (its unmapped fields and reserved lines kept), the new ones appended in row order;
// an audit note for each record added or replaced.
struct ImportRewrite {
    ProductsRewrite rewrite;
    std::vector<AuditNote> notes;
};
ImportRewrite import_rewrite(const ProductsData &existing, const ImportPlan &plan,
                             const ColumnMap &columns);

} // namespace durnmoor
