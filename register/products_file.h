#pragma once

#include "app/data_file.h"
#include "app/record_file.h"
#include "register/product_record.h"

#include <QString>

#include <string>

namespace durnmoor {

inline constexpr char products_file_name[] = "products.dat";
inline constexpr char products_twin_name[] = "products2.dat";

// products.dat and products2.dat in the data folder.
DataFilePlace products_file(const QString &app_path);

// The instrument records of products.dat, 50 lines each.
class ProductsData : public RecordFile {
public:
    explicit ProductsData(std::string bytes = {}) : RecordFile(std::move(bytes), product_line_count)
    {
    }
    explicit ProductsData(RecordRewrite &&written) : RecordFile(std::move(written)) {}
    product_record record(std::size_t i) const;
};

using ProductsRewrite = RecordRewrite;

} // namespace durnmoor
