// Any bytes as products.dat: reading never fails, and rewrites keep every record they
// are told to keep, line for line, in a file of whole CR LF records.
#include "register/products_file.h"

#include "fuzz_support.h"

#include <algorithm>

using namespace durnmoor;
using fuzz::require;

namespace {

// Every line ends in CR LF, nothing follows the last one, and the records are whole.
void require_whole_crlf_records(const std::string &out, std::size_t records)
{
    std::size_t lines = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') {
            require(i > 0 && out[i - 1] == '\r');
            ++lines;
        }
    }
    require(out.empty() || out.back() == '\n');
    require(lines == records * product_line_count);
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    const ProductsData source{std::string(text)};
    const auto records = fuzz::records_of(source);
    const std::size_t n = records.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t found = source.find(instrument_no, records[i][instrument_no]);
        require(found <= i && records[found][instrument_no] == records[i][instrument_no]);
    }

    ProductsRewrite all(source);
    for (std::size_t i = 0; i < n; ++i)
        all.copy(i);
    require_whole_crlf_records(all.bytes(), n);
    fuzz::require_records(ProductsData(all.bytes()), records);
    // Stray line ends after the last record are no record.
    require(ProductsData(all.bytes() + "\r\n\n").size() == n);

    if (n < 2)
        return;
    // One record dropped, another written over with its lines reversed.
    const std::size_t dropped = std::uint8_t(text.front()) % n;
    const std::size_t replaced = (dropped + 1 + std::uint8_t(text.back()) % (n - 1)) % n;
    ProductsRewrite some(source);
    std::vector<product_record> expected;
    for (std::size_t i = 0; i < n; ++i) {
        if (i == replaced) {
            expected.push_back(records[i]);
            std::reverse(expected.back().lines.begin(), expected.back().lines.end());
            some.write(expected.back());
        } else if (i != dropped) {
            some.copy(i);
            expected.push_back(records[i]);
        }
    }
    require_whole_crlf_records(some.bytes(), n - 1);
    fuzz::require_records(ProductsData(some.bytes()), expected);
}
