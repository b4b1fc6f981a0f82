// Any bytes as products.dat: reading never fails, and rewrites keep every record they
// are told to keep, line for line, in a file of whole CR LF records.
#include "register/products_file.h"

#include "fuzz_support.h"

#include <algorithm>
#include <cstdint>
#include <vector>

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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ProductsData source(std::string(reinterpret_cast<const char *>(data), size));
    const std::size_t n = source.size();
    std::vector<product_record> records;
    for (std::size_t i = 0; i < n; ++i) {
        records.push_back(source.record(i));
        const std::size_t found = source.find(instrument_no, records[i][instrument_no]);
        require(found <= i && records[found][instrument_no] == records[i][instrument_no]);
    }

    ProductsRewrite all(source);
    for (std::size_t i = 0; i < n; ++i)
        all.copy(i);
    require_whole_crlf_records(all.bytes(), n);
    const ProductsData copied(all.bytes());
    require(copied.size() == n);
    for (std::size_t i = 0; i < n; ++i)
        require(copied.record(i).lines == records[i].lines);
    // Stray line ends after the last record are no record.
    require(ProductsData(all.bytes() + "\r\n\n").size() == n);

    if (n < 2)
        return 0;
    const std::size_t dropped = data[0] % n;
    const std::size_t replaced = (dropped + 1 + data[size - 1] % (n - 1)) % n;
    product_record replacement = records[replaced];
    std::reverse(replacement.lines.begin(), replacement.lines.end());
    ProductsRewrite some(source);
    std::vector<product_record> expected;
    for (std::size_t i = 0; i < n; ++i) {
        if (i == dropped)
            continue;
        if (i == replaced) {
            some.write(replacement);
            expected.push_back(replacement);
        } else {
            some.copy(i);
            expected.push_back(records[i]);
        }
    }
    require_whole_crlf_records(some.bytes(), n - 1);
    const ProductsData rewritten(some.bytes());
    require(rewritten.size() == expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        require(rewritten.record(i).lines == expected[i].lines);
    return 0;
}
