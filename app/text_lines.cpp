#include "app/text_lines.h"

namespace durnmoor {

bool LineCursor::next(std::string_view &line)
{
    if (at_end())
        return false;
    const std::size_t lf = data_.find('\n', pos_);
    if (lf == std::string_view::npos) {
        line = data_.substr(pos_);
        pos_ = data_.size();
        last_crlf_ = false;
        return true;
    }
    std::size_t end = lf;
    last_crlf_ = end > pos_ && data_[end - 1] == '\r';
    if (last_crlf_)
        --end;
    line = data_.substr(pos_, end - pos_);
    pos_ = lf + 1;
    return true;
}

bool LineCursor::skip_past(std::string_view line)
{
    for (std::size_t at = data_.find(line, pos_); at != std::string_view::npos;
         at = data_.find(line, at + 1)) {
        if (at != pos_ && data_[at - 1] != '\n')
            continue; // not at the start of a line
        std::size_t end = at + line.size();
        if (end < data_.size() && data_[end] == '\r')
            ++end;
        if (end == data_.size() || data_[end] == '\n') {
            // The cursor took this line as a whole: it may still hold the CR the search
            // passed, as next() would have read it.
            pos_ = at;
            std::string_view read;
            next(read);
            if (read == line)
                return true;
        }
    }
    pos_ = data_.size();
    return false;
}

} // namespace durnmoor
