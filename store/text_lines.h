#pragma once

#include <cstddef>
#include <string_view>

namespace durnmoor {

// Walks the lines of a data file held in memory. A line ends at LF; a CR just
// before that LF belongs to the line end, so CR LF and bare LF files read alike.
// A last line without any line end still counts as a line.
class LineCursor {
public:
    explicit LineCursor(std::string_view data) : data_(data) {}

    bool at_end() const { return pos_ >= data_.size(); }
    std::size_t position() const { return pos_; }

    // The next line's content without its line end; false at the end of the data.
    bool next(std::string_view &line);

    // True when the line just read ended in CR LF, i.e. its bytes can be copied unchanged
    // into a file that ends every line with CR LF.
    bool last_was_crlf() const { return last_crlf_; }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
    bool last_crlf_ = true;
};

inline constexpr std::string_view crlf = "\r\n";

} // namespace durnmoor
