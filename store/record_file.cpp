#include "store/record_file.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace durnmoor {

namespace {

// Whether bytes [begin, end) are nothing but line ends: lines that are all empty.
bool only_line_ends(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            continue;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        return false;
    }
    return true;
}

} // namespace

RecordFile::RecordFile(std::string bytes, int record_lines, FieldNames names)
    : bytes_(std::move(bytes)), width_(static_cast<std::size_t>(record_lines)), names_(names)
{
    index();
}

QString RecordFile::field_name(int n) const
{
    if (n >= 1 && static_cast<std::size_t>(n) <= names_.size())
        return QString::fromUtf8(names_[static_cast<std::size_t>(n - 1)]);
    return QStringLiteral("line %1 of the record").arg(n);
}

// One pass over the bytes finds every record's end (its width_-th line end) and every line
// end that lacks its CR. Blocks holding no record end are counted, not walked byte by byte.
void RecordFile::index()
{
    const char *data = bytes_.data();
    const std::size_t size = bytes_.size();
    starts_.reserve(size / (width_ * 2) + 2);
    starts_.push_back(0);
    std::size_t lines = 0; // line ends seen in the record being read
    bool bare = false;     // one of them lacks its CR
    auto line_end = [&](std::size_t at, bool without_cr) {
        bare = bare || without_cr;
        if (++lines == width_) {
            starts_.push_back(at + 1);
            crlf_.push_back(!bare);
            lines = 0;
            bare = false;
        }
    };
    std::size_t pos = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    unsigned carried_cr = 0; // a CR in the last byte of the block before
    for (; pos + 16 <= size; pos += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + pos));
        unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf)));
        const unsigned crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, cr)));
        const unsigned without_cr = ends & ~((crs << 1) | carried_cr);
        carried_cr = (crs >> 15) & 1u;
        const auto count = static_cast<std::size_t>(__builtin_popcount(ends));
        if (lines + count < width_) {
            lines += count;
            bare = bare || without_cr != 0;
            continue;
        }
        for (; ends != 0; ends &= ends - 1) {
            const unsigned bit = static_cast<unsigned>(__builtin_ctz(ends));
            line_end(pos + bit, (without_cr >> bit) & 1u);
        }
    }
#endif
    for (; pos < size; ++pos)
        if (data[pos] == '\n')
            line_end(pos, pos == 0 || data[pos - 1] != '\r');

    record_count_ = starts_.size() - 1;
    const std::size_t tail = starts_.back();
    if (tail < size) {
        // A last line without its line end still counts as a line.
        if (data[size - 1] != '\n')
            ++lines;
        // Lines left over after the last whole record are a record cut short, unless every
        // one of them is empty: then they are only stray line ends, not a record.
        if (lines == width_ || !only_line_ends(std::string_view(bytes_).substr(tail))) {
            starts_.push_back(size);
            crlf_.push_back(false); // cut short, or its last line unended: written out anew
            ++record_count_;
        }
    }
}

RecordFile::RecordFile(RecordRewrite &&written)
    : bytes_(std::move(written.out_)), width_(written.source_.width_),
      names_(written.source_.names_), starts_(std::move(written.starts_)),
      crlf_(starts_.size() - 1, true), record_count_(starts_.size() - 1)
{
}

std::string_view RecordFile::line(std::size_t record, int n) const
{
    if (record >= record_count_ || n < 1)
        return {};
    const char *data = bytes_.data();
    const std::size_t end = starts_[record + 1];
    std::size_t begin = starts_[record];
    for (int skip = 1; skip < n; ++skip) {
        const void *lf = std::memchr(data + begin, '\n', end - begin);
        if (!lf)
            return {}; // a record cut short: its missing lines are empty
        begin = static_cast<std::size_t>(static_cast<const char *>(lf) - data) + 1;
    }
    if (begin >= end)
        return {};
    const void *lf = std::memchr(data + begin, '\n', end - begin);
    std::size_t stop = lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - data) : end;
    if (lf && stop > begin && data[stop - 1] == '\r')
        --stop;
    return std::string_view(bytes_).substr(begin, stop - begin);
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
    return crlf_[record];
}

std::string_view RecordFile::record_bytes(std::size_t record) const
{
    return std::string_view(bytes_).substr(starts_[record], starts_[record + 1] - starts_[record]);
}

void RecordRewrite::copy(std::size_t record)
{
    if (source_.record_is_crlf(record)) {
        out_ += source_.record_bytes(record);
    } else {
        source_.each_line(record, [this](int, std::string_view line) {
            out_ += line;
            out_ += "\r\n";
        });
    }
    starts_.push_back(out_.size());
}

} // namespace durnmoor

namespace durnmoor {

QString line_break_refused(const QString &field)
{
    return QStringLiteral("The field \"%1\" holds a line break, which would split the record.")
        .arg(field);
}

WriteOutcome replace_with(DataFile &file, const RecordRewrite &rewrite)
{
    if (const auto line = rewrite.refused_line())
        return {false,
                file.file_name(),
                file.file_name(),
                line_break_refused(rewrite.source().field_name(*line)),
                {}};
    return file.replace(rewrite.bytes());
}

} // namespace durnmoor
