#pragma once

#include "register/product_record.h"
#include "store/data_file.h"
#include "store/record_file.h"

#include <QString>

#include <string>

namespace durnmoor {

inline constexpr char products_file_name[] = "products.dat";
inline constexpr char products_twin_name[] = "products2.dat";

// products.dat and products2.dat in the data folder.
DataFilePlace products_file(const QString &app_path);

// The fields of an instrument record as the details tab names them, in file order.
inline constexpr const char *product_field_names[] = {"Instrument No",
                                                      "Instrument Description",
                                                      "Location (Physical)",
                                                      "Calibration Company",
                                                      "Cost of Calibration",
                                                      "Calibration to be performed",
                                                      "Item Availability",
                                                      "Calibration is required every",
                                                      "Date Purchased: day",
                                                      "Date Purchased: month",
                                                      "Date Purchased: year",
                                                      "Date Last Calibrated: day",
                                                      "Date Last Calibrated: month",
                                                      "Date Last Calibrated: year",
                                                      "Instrument Serial No",
                                                      "Manufacturer",
                                                      "Asset Value",
                                                      "Purchased From",
                                                      "Purchase Order No"};

// The instrument records of products.dat, 50 lines each.
class ProductsData : public RecordFile {
public:
    explicit ProductsData(std::string bytes = {})
        : RecordFile(std::move(bytes), product_line_count, product_field_names)
    {
    }
    explicit ProductsData(RecordRewrite &&written) : RecordFile(std::move(written)) {}
    product_record record(std::size_t i) const;
};

using ProductsRewrite = RecordRewrite;

} // namespace durnmoor
