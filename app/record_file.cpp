#include "app/record_file.h"

#include <cstring>

namespace durnmoor {

RecordFile::RecordFile(std::string bytes, int record_lines)
    : bytes_(std::move(bytes)), width_(static_cast<std::size_t>(record_lines))
{
    const char *data = bytes_.data();
    const std::size_t size = bytes_.size();
    line_starts_.reserve(size / 8 + 2);
    std::size_t pos = 0;
    while (pos < size) {
        line_starts_.push_back(pos);
        const void *lf = std::memchr(data + pos, '\n', size - pos);
        pos = lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - data) + 1 : size;
    }
    const std::size_t lines = line_starts_.size();
    line_starts_.push_back(size);
    record_count_ = lines / width_;
    // Lines left over after the last whole record are a record cut short, unless every
    // one of them is empty: then they are only stray line ends, not a record.
    for (std::size_t n = record_count_ * width_; n < lines; ++n) {
        const std::size_t length = line_starts_[n + 1] - line_starts_[n];
        const bool empty =
            length == 0 || (length == 1 && data[line_starts_[n]] == '\n') ||
            (length == 2 && data[line_starts_[n]] == '\r' && data[line_starts_[n] + 1] == '\n');
        if (!empty) {
            ++record_count_;
            break;
        }
    }
}

std::string_view RecordFile::line(std::size_t record, int n) const
{
    const std::size_t index = record * width_ + static_cast<std::size_t>(n - 1);
    if (index + 1 >= line_starts_.size())
        return {};
    const std::size_t begin = line_starts_[index];
    std::size_t end = line_starts_[index + 1];
    if (end > begin && bytes_[end - 1] == '\n') {
        --end;
        if (end > begin && bytes_[end - 1] == '\r')
            --end;
    }
    return std::string_view(bytes_).substr(begin, end - begin);
}

std::size_t RecordFile::find(int key_line, std::string_view key) const
{
    for (std::size_t i = 0; i < record_count_; ++i)
        if (line(i, key_line) == key)
            return i;
    return npos;
}

bool RecordFile::record_is_crlf(std::size_t record) const
{
    const std::size_t first = record * width_;
    if (first + width_ >= line_starts_.size())
        return false; // cut short: missing lines must be written out
    for (std::size_t i = first + 1; i <= first + width_; ++i) {
        const std::size_t next = line_starts_[i];
        if (next < line_starts_[i - 1] + 2 || bytes_[next - 1] != '\n' || bytes_[next - 2] != '\r')
            return false;
    }
    return true;
}

std::string_view RecordFile::record_bytes(std::size_t record) const
{
    const std::size_t first = record * width_;
    return std::string_view(bytes_).substr(line_starts_[first],
                                           line_starts_[first + width_] - line_starts_[first]);
}

void RecordRewrite::copy(std::size_t record)
{
    if (source_.record_is_crlf(record)) {
        out_ += source_.record_bytes(record);
        return;
    }
    for (int n = 1; n <= source_.record_lines(); ++n) {
        out_ += source_.line(record, n);
        out_ += "\r\n";
    }
}

} // namespace durnmoor
