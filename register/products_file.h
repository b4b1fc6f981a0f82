#pragma once

#include "app/data_file.h"
#include "register/product_record.h"

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

inline constexpr char products_file_name[] = "products.dat";
inline constexpr char products_twin_name[] = "products2.dat";

// products.dat and products2.dat in the data folder.
DataFilePlace products_file(const QString &app_path);

// The records of products.dat, read at once and indexed by line. Records are 50 lines
// each in file order; a last record cut short reads with its missing lines empty, but
// empty lines after the last record (a stray line end) are no record.
class ProductsData {
public:
    ProductsData() = default;
    explicit ProductsData(std::string bytes);

    std::size_t size() const { return record_count_; }
    bool empty() const { return record_count_ == 0; }

    // Line n (1 to 50) of record i, without its line end.
    std::string_view line(std::size_t record, int n) const;
    product_record record(std::size_t i) const;

    // The first record whose line key_line equals key exactly, or npos.
    std::size_t find(int key_line, std::string_view key) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    friend class ProductsRewrite;
    bool record_is_crlf(std::size_t record) const;
    std::string_view record_bytes(std::size_t record) const;

    std::string bytes_;
    std::vector<std::size_t> line_starts_; // one per line read, plus the end of the data
    std::size_t record_count_ = 0;
};

// Builds the new contents of products.dat record by record: each record of the old
// file is copied, replaced or (by not mentioning it) dropped, and records may be appended.
class ProductsRewrite {
public:
    explicit ProductsRewrite(const ProductsData &source) : source_(source) {}

    void copy(std::size_t record);
    void write(const product_record &record);

    // The new contents, for DataFile::replace of the file the source was read from.
    const std::string &bytes() const { return out_; }

private:
    const ProductsData &source_;
    std::string out_;
};

} // namespace durnmoor
