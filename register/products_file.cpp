#include "register/products_file.h"

#include <QDir>

namespace durnmoor {

DataFilePlace products_file(const QString &app_path)
{
    const QDir dir(app_path);
    return {dir.filePath(QString::fromLatin1(products_file_name)),
            dir.filePath(QString::fromLatin1(products_twin_name))};
}

product_record ProductsData::record(std::size_t i) const
{
    product_record result;
    each_line(i, [&result](int n, std::string_view line) { result[n] = std::string(line); });
    return result;
}

} // namespace durnmoor
