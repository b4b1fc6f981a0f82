#pragma once

#include "calibration/money.h"
#include "store/data_file.h"

#include <QDate>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace durnmoor {

inline constexpr char history_file_name[] = "history.dat";
inline constexpr char history_twin_name[] = "history2.dat";

inline constexpr std::string_view result_start_marker = "#1RESULT";
inline constexpr std::string_view result_end_marker = "#2RESULT";

// Shown when a result is refused because one of its lines would end the result early.
inline constexpr char result_marker_refused[] = "A line of the result cannot read #2RESULT.";

// What the user calls a calibration's own fields.
inline constexpr char history_number_field[] = "Instrument No";
inline constexpr char history_date_field[] = "Date of calibration";
inline constexpr char history_cost_field[] = "Cost of Calibration";

// The first of a new calibration's fields that holds a line break, or nullptr: such a field
// would split into two lines and shift every later record.
const char *field_with_line_break(std::string_view instrument_no, std::string_view date,
                                  std::string_view cost);

// history.dat and history2.dat in the data folder.
DataFilePlace history_file(const QString &app_path);

// One calibration as stored: every line's bytes exactly as read, without line ends.
struct HistoryRecord {
    std::string instrument_no;
    std::string date; // file date, "dd/mm/yyyy"
    std::string cost; // the cost box's text when the calibration was recorded
    std::vector<std::string> result_lines;
    // False for a last record cut off before its "#2RESULT": its result is the lines up to
    // the end of the file, and any write closes it.
    bool terminated = true;

    friend bool operator==(const HistoryRecord &, const HistoryRecord &) = default;
};

// How often one instrument was calibrated and what that cost.
struct HistoryFigures {
    std::int64_t count = 0;
    Money total;                  // costs that are not numbers add nothing
    std::optional<Money> average; // total / count to four decimals; none without records
};

// Result lines ready to go between the markers. Only encode_result makes them, so none of
// them holds a line break or reads "#2RESULT".
class ResultLines {
public:
    const std::vector<std::string> &lines() const { return lines_; }

private:
    friend std::optional<ResultLines> encode_result(const QString &text);
    explicit ResultLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}

    std::vector<std::string> lines_;
};

// The result box's text as lines of the file: blanks at both ends of the whole text go
// (only blanks: an empty first line or a tab is part of the result), the rest is split at its line
// breaks (CR LF, LF or a CR alone) and each line is encoded in the local code page. An empty text
// is one empty line. nullopt when a line reads "#2RESULT", since it would end the result early and
// shift every later record (see result_marker_refused).
std::optional<ResultLines> encode_result(const QString &text);

// What the result box shows: each result line followed by "\n", the line break of Qt's
// text boxes (encode_result takes it back, as well as CR LF).
QString result_text(const HistoryRecord &record);

// The records of history.dat in file order. A group of four lines whose fourth is not
// "#1RESULT" is not a record and is passed over; so are one to three lines left at the end.
// The file is kept as read; each record is found by where it lies in it, and the records of
// one instrument through an index by number, so that a large history is looked up, not
// walked, and takes little more memory than the file.
class HistoryData {
public:
    HistoryData() = default;
    explicit HistoryData(std::string bytes);
    // What a rewrite wrote, indexed as it was written.
    explicit HistoryData(class HistoryRewrite &&written);
    // The index points into the bytes: a history stays where it was made.
    HistoryData(const HistoryData &) = delete;
    HistoryData &operator=(const HistoryData &) = delete;

    std::size_t size() const { return spans_.size(); }
    bool empty() const { return spans_.empty(); }
    HistoryRecord record(std::size_t i) const;
    std::vector<HistoryRecord> records() const;

    // Indices of the records of one instrument, compared exactly, in file order.
    std::vector<std::size_t> history_of(std::string_view instrument_no) const;

    HistoryFigures figures_of(std::string_view instrument_no) const;

    // The file's new contents with one record added at the end. Every old byte stays as it
    // is, whatever the reader made of it; only what would misalign the new record is added
    // first: a missing last line end, the end marker of a cut-off last record, and empty
    // lines that make left-over lines a whole group, which readers pass over. nullopt when
    // the number or the cost holds a line break.
    std::optional<std::string> with_appended(std::string_view instrument_no, std::string_view date,
                                             std::string_view cost,
                                             const ResultLines &result) const;

private:
    friend class HistoryRewrite;

    // Where a record lies in the file: from its first line to past its end marker (or to the
    // end of the file when it was cut off before one).
    struct Span {
        std::size_t begin = 0;
        std::size_t result = 0; // the first line after "#1RESULT"
        std::size_t end = 0;
        bool terminated = true;
        bool crlf = true; // every line ends in CR LF: its bytes are copied as they are
    };

    std::string_view number_of(std::size_t record) const;

    std::string bytes_;
    std::vector<Span> spans_;
    // The records of each number chained in file order: one slot per number (found by the
    // number's hash) holds its first and last record, and each record the next one. Built in
    // one pass; a hash shared by two numbers only lengthens a chain, which is filtered.
    struct Chain {
        std::uint64_t hash = 0;
        std::uint32_t first = none;
        std::uint32_t last = none;
    };
    static constexpr std::uint32_t none = 0xffffffffu;
    void chain(std::uint64_t hash, std::uint32_t record);
    std::vector<Chain> chains_; // open addressing, a power of two in size
    std::size_t chained_numbers_ = 0;
    std::vector<std::uint32_t> next_; // per record
    int left_over_lines_ = 0;         // lines at the end too few to form a group
};

// Builds the new contents of history.dat record by record: each record is copied or
// written with a new result, or (by not mentioning it) dropped. Groups that are not
// records are never written; a cut-off last record is written closed.
class HistoryRewrite {
public:
    explicit HistoryRewrite(const HistoryData &source) : source_(source)
    {
        out_.reserve(source.bytes_.size() + 4096);
        ask_for_large_pages(out_);
    }

    void copy(std::size_t record);
    // Keeps lines 1 to 3 of the record and gives it this result.
    void replace_result(std::size_t record, const ResultLines &result);

    // The new contents, for DataFile::replace of the file the source was read from.
    const std::string &bytes() const { return out_; }

private:
    friend class HistoryData;

    // Notes where the record just written lies, and its number.
    void written(std::size_t record, std::size_t begin, std::size_t result,
                 std::string_view number);

    const HistoryData &source_;
    std::string out_;
    std::vector<HistoryData::Span> spans_;
    std::vector<std::uint64_t> hashes_;
    bool in_order_ = true; // each record written so far is the source's record at its place
};

} // namespace durnmoor
