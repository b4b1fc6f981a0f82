// Any bytes as history.dat, and after the last NUL (if any) the lines of a calibration to
// record: number, date, cost, then the result text. One instrument's read agrees with the
// full read, a rewrite reads back as the records it copied, and an append keeps every old
// byte and reads back as the record given.
#include "calibration/history_file.h"
#include "store/record_file.h"

#include "fuzz_support.h"

#include <algorithm>
#include <set>
#include <string>

using namespace durnmoor;
using fuzz::require;

namespace {

// Every record as a write leaves it: closed.
std::vector<HistoryRecord> closed(std::vector<HistoryRecord> records)
{
    for (HistoryRecord &record : records)
        record.terminated = true;
    return records;
}

// Each instrument of the file, and one that may be in none.
void check_one_instrument_reads(const HistoryData &full, std::string_view trailer_no)
{
    std::set<std::string> numbers{std::string(trailer_no)};
    for (const HistoryRecord &record : full.records())
        numbers.insert(record.instrument_no);
    for (const std::string &no : numbers) {
        std::vector<HistoryRecord> indexed, found;
        for (const std::size_t i : full.history_of(no))
            indexed.push_back(full.record(i));
        for (const HistoryRecord &record : full.records())
            if (record.instrument_no == no)
                found.push_back(record);
        require(indexed == found);
        const HistoryFigures figures = full.figures_of(no);
        require(figures.count == static_cast<std::int64_t>(full.history_of(no).size()));
        require(figures.average.has_value() == (figures.count > 0));
    }
}

void check_append(const std::string &bytes, const HistoryData &full,
                  const std::vector<std::string_view> &fields, const QString &result_text_in)
{
    const auto result = encode_result(result_text_in);
    if (!result) {
        require(result_text_in.contains(QLatin1StringView(result_end_marker)));
        return;
    }
    // No result line keeps a line break of any kind, and what the result box shows is
    // taken back as the same lines.
    HistoryRecord shown;
    shown.result_lines = result->lines();
    for (const std::string &line : shown.result_lines)
        require(!holds_line_break(line));
    const auto again = encode_result(result_text(shown));
    require(again && again->lines() == result->lines());

    require(!full.with_appended(std::string(fields[0]) + "\n", fields[1], fields[2], *result));
    const auto out = full.with_appended(fields[0], fields[1], fields[2], *result);
    // A field with a CR in it would read as two lines elsewhere: refused like a line break.
    require(out.has_value() == !field_with_line_break(fields[0], fields[1], fields[2]));
    if (!out)
        return;
    require(out->compare(0, bytes.size(), bytes) == 0);
    const HistoryData after(*out);
    require(after.size() == full.size() + 1);
    const auto before = closed(full.records());
    require(std::equal(before.begin(), before.end(), after.records().begin()));
    const HistoryRecord added{std::string(fields[0]), std::string(fields[1]),
                              std::string(fields[2]), result->lines(), true};
    require(after.records().back() == added);
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    const std::size_t nul = text.rfind('\0');
    const std::string bytes(text.substr(0, nul));
    const auto fields = fuzz::lines(nul == text.npos ? "" : text.substr(nul + 1), 4);

    const HistoryData full(bytes);
    check_one_instrument_reads(full, fields[0]);

    HistoryRewrite rewrite(full);
    for (std::size_t i = 0; i < full.size(); ++i)
        rewrite.copy(i);
    require(HistoryData(rewrite.bytes()).records() == closed(full.records()));

    check_append(bytes, full, fields, fuzz::utf8(fields[3]));
}
