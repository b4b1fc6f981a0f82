#pragma once

#include "store/data_file.h"

#include <cstddef>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

class RecordRewrite;

// What the user calls each line of a record ("Instrument No"), first line first; lines past
// the names are called by their number.
using FieldNames = std::span<const char *const>;

// A line break inside a field would split it into two lines and shift every later record.
inline bool holds_line_break(std::string_view field)
{
    return field.find_first_of("\r\n") != std::string_view::npos;
}

// A data file of records with a fixed number of lines each, one field per line, read at
// once and indexed by record. Records follow each other in file order; a last record cut
// short reads with its missing lines empty, but empty lines after the last record (a
// stray line end) are no record.
class RecordFile {
public:
    RecordFile(std::string bytes, int record_lines, FieldNames names = {});
    // What a rewrite wrote: whole records, every line ended by CR LF, starting where the
    // rewrite says. Nothing is scanned again.
    explicit RecordFile(RecordRewrite &&written);

    std::size_t size() const { return record_count_; }
    bool empty() const { return record_count_ == 0; }
    int record_lines() const { return static_cast<int>(width_); }
    // What the user calls line n of a record.
    QString field_name(int n) const;

    // Line n (1 to record_lines) of record i, without its line end.
    std::string_view line(std::size_t record, int n) const;
    // f(n, line) for each line n (1 to through, all by default) of record i, in one walk over
    // it: quicker than line() for each when a caller wants several. Missing lines are empty.
    template <typename F> void each_line(std::size_t record, F f, int through = 0) const
    {
        const char *data = bytes_.data();
        std::size_t begin = starts_[record];
        const std::size_t end = starts_[record + 1];
        const int last = through > 0 ? through : static_cast<int>(width_);
        for (int n = 1; n <= last; ++n) {
            if (begin >= end) {
                f(n, std::string_view());
                continue;
            }
            const void *lf = std::memchr(data + begin, '\n', end - begin);
            std::size_t stop =
                lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - data) : end;
            const std::size_t next = lf ? stop + 1 : end;
            if (lf && stop > begin && data[stop - 1] == '\r')
                --stop;
            f(n, std::string_view(data + begin, stop - begin));
            begin = next;
        }
    }
    // The file's bytes, as read.
    const std::string &bytes() const { return bytes_; }
    // Where record i starts in bytes(); for i == size(), where the last record ends. A record's
    // bytes are its lines and their line ends, nothing else.
    std::size_t record_start(std::size_t i) const { return starts_[i]; }

    // The first record whose line key_line equals key exactly, or npos.
    std::size_t find(int key_line, std::string_view key) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    friend class RecordRewrite;
    bool record_is_crlf(std::size_t record) const;
    std::string_view record_bytes(std::size_t record) const;

    void index();

    std::string bytes_;
    std::size_t width_; // lines per record
    FieldNames names_;
    // Where each record starts, and after the last one where it ends: a large register is
    // indexed by record, not by line, so the index stays small beside the file.
    std::vector<std::size_t> starts_;
    // Whether each record is whole with every line ended by CR LF, so that a rewrite may copy
    // its bytes as they are.
    std::vector<bool> crlf_;
    std::size_t record_count_ = 0;
};

// Builds the new contents of a record file record by record: each record of the old file
// is copied (byte for byte where its lines already end in CR LF), replaced or (by not
// mentioning it) dropped, and records may be appended. A new record with a line break in
// one of its fields is refused, and a rewrite that refused one is never written (see
// replace_with): whatever path a field came by, it cannot shift the records after it.
class RecordRewrite {
public:
    // Sized for the source's bytes, so that a large file's copy is not reallocated as it grows.
    explicit RecordRewrite(const RecordFile &source) : source_(source)
    {
        out_.reserve(source.bytes().size() + 4096);
        ask_for_large_pages(out_);
    }

    void copy(std::size_t record);
    // One new record: its lines, each ended by CR LF. False, with nothing written, when a
    // line holds a line break.
    template <typename Lines> bool write(const Lines &lines)
    {
        int n = 0;
        for (const auto &line : lines) {
            ++n;
            if (holds_line_break(line)) {
                if (!refused_line_)
                    refused_line_ = n;
                return false;
            }
        }
        for (const auto &line : lines) {
            out_ += line;
            out_ += "\r\n";
        }
        starts_.push_back(out_.size());
        return true;
    }

    // The new contents so far. Only replace_with puts them in place of the file.
    const std::string &bytes() const { return out_; }
    // The first line of a new record that was refused for a line break, if one was.
    std::optional<int> refused_line() const { return refused_line_; }
    const RecordFile &source() const { return source_; }

private:
    friend class RecordFile;

    const RecordFile &source_;
    std::string out_;
    std::vector<std::size_t> starts_{0}; // where each record written starts, and the end
    std::optional<int> refused_line_;
};

// Why a field cannot be written: it holds a line break. For a WriteOutcome's reason.
QString line_break_refused(const QString &field);

// Puts the rewrite's records in place of the file the source was read from, through its twin.
// Refused, with the file untouched, when the rewrite refused a record: the user is told which
// field held the line break.
WriteOutcome replace_with(DataFile &file, const RecordRewrite &rewrite);

} // namespace durnmoor
