#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace durnmoor {

// Put first in a CSV file in UTF-8, so that spreadsheets read it as UTF-8 and not in the
// system's encoding.
inline constexpr std::string_view utf8_byte_order_mark = "\xEF\xBB\xBF";

// One row of a CSV file as RFC 4180 writes it: fields separated by commas, a field holding a
// comma, a quote, a CR or a LF quoted with its quotes doubled, the row ended by CR LF. The
// bytes of each field are kept as they are.
void append_csv_row(std::string &out, std::initializer_list<std::string_view> fields);
// The same for a row whose width is known only at run time.
void append_csv_row(std::string &out, std::span<const std::string> fields);

} // namespace durnmoor
