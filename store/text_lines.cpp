#include "store/text_lines.h"

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

} // namespace durnmoor
