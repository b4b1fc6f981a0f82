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
    std::size_t refused = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i == replaced) {
            product_record reversed = records[i];
            std::reverse(reversed.lines.begin(), reversed.lines.end());
            // A line read with a CR inside it is no field a writer may write: refused whole.
            const bool writable =
                std::none_of(reversed.begin(), reversed.end(),
                             [](const auto &line) { return holds_line_break(line); });
            require(some.write(reversed) == writable);
            if (writable)
                expected.push_back(reversed);
            else
                ++refused;
        } else if (i != dropped) {
            some.copy(i);
            expected.push_back(records[i]);
        }
    }
    require_whole_crlf_records(some.bytes(), n - 1 - refused);
    fuzz::require_records(ProductsData(some.bytes()), expected);
}
