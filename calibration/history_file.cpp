#include "calibration/history_file.h"

#include "calibration/date_forms.h"
#include "store/record_file.h"
#include "store/text_lines.h"

#include <QByteArray>
#include <QDir>

#include <algorithm>

namespace durnmoor {

namespace {

void put_line(std::string &out, std::string_view line)
{
    out += line;
    out += crlf;
}

// A record's lines up to its start marker.
void put_head(std::string &out, std::string_view instrument_no, std::string_view date,
              std::string_view cost)
{
    put_line(out, instrument_no);
    put_line(out, date);
    put_line(out, cost);
    put_line(out, result_start_marker);
}

void put_result(std::string &out, const std::vector<std::string> &result_lines)
{
    for (const std::string &line : result_lines)
        put_line(out, line);
    put_line(out, result_end_marker);
}

void put_record(std::string &out, std::string_view instrument_no, std::string_view date,
                std::string_view cost, const std::vector<std::string> &result_lines)
{
    put_head(out, instrument_no, date, cost);
    put_result(out, result_lines);
}

// FNV-1a over the number, then mixed so that numbers differing in their last digit land far
// apart in the table of chains.
std::uint64_t number_hash(std::string_view number)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : number) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    hash ^= hash >> 31;
    hash *= 0xbf58476d1ce4e5b9ull;
    return hash ^ (hash >> 29);
}

} // namespace

const char *field_with_line_break(std::string_view instrument_no, std::string_view date,
                                  std::string_view cost)
{
    if (holds_line_break(instrument_no))
        return history_number_field;
    if (holds_line_break(date))
        return history_date_field;
    if (holds_line_break(cost))
        return history_cost_field;
    return nullptr;
}

DataFilePlace history_file(const QString &app_path)
{
    const QDir dir(app_path);
    return {dir.filePath(QString::fromLatin1(history_file_name)),
            dir.filePath(QString::fromLatin1(history_twin_name))};
}

std::optional<ResultLines> encode_result(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    const QStringView whole = QStringView(text).sliced(first, last - first);
    std::vector<std::string> lines;
    qsizetype start = 0;
    auto next_break = [&whole](qsizetype from) {
        for (qsizetype i = from; i < whole.size(); ++i)
            if (whole[i] == u'\n' || whole[i] == u'\r')
                return i;
        return qsizetype(-1);
    };
    while (true) {
        // CR LF, LF or a CR alone: a CR left inside a line would read as a break elsewhere.
        const qsizetype end = next_break(start);
        qsizetype lf = end;
        if (end >= 0 && whole[end] == u'\r' && end + 1 < whole.size() && whole[end + 1] == u'\n')
            lf = end + 1;
        const QByteArray bytes =
            whole.sliced(start, (end < 0 ? whole.size() : end) - start).toLocal8Bit();
        std::string line(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (line == result_end_marker)
            return std::nullopt;
        lines.push_back(std::move(line));
        if (lf < 0)
            break;
        start = lf + 1;
        if (start == whole.size())
            break; // a line break at the very end ends the last line; it adds no empty one
    }
    return ResultLines(std::move(lines));
}

QString result_text(const HistoryRecord &record)
{
    QString text;
    for (const std::string &line : record.result_lines) {
        text += QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
        text += u'\n';
    }
    return text;
}

HistoryData::HistoryData(std::string bytes) : bytes_(std::move(bytes))
{
    // Sized up front: growing the index record by record moves it about twice and touches
    // twice the memory, which on a large history costs more than this count.
    std::size_t markers = 0;
    for (std::size_t at = bytes_.find(result_start_marker); at != std::string::npos;
         at = bytes_.find(result_start_marker, at + result_start_marker.size()))
        ++markers;
    spans_.reserve(markers);
    next_.reserve(markers);
    ask_for_large_pages(spans_.data(), spans_.capacity() * sizeof(Span));
    ask_for_large_pages(next_.data(), next_.capacity() * sizeof(std::uint32_t));

    LineCursor cursor(bytes_);
    while (!cursor.at_end()) {
        Span span;
        span.begin = cursor.position();
        std::string_view group[4];
        int read = 0;
        bool crlf = true;
        while (read < 4 && cursor.next(group[read])) {
            crlf = crlf && cursor.last_was_crlf();
            ++read;
        }
        if (read < 4) {
            left_over_lines_ = read;
            break;
        }
        if (group[3] != result_start_marker)
            continue;
        span.result = cursor.position();
        span.terminated = false;
        std::string_view line;
        while (cursor.next(line)) {
            crlf = crlf && cursor.last_was_crlf();
            if (line == result_end_marker) {
                span.terminated = true;
                break;
            }
        }
        span.end = cursor.position();
        span.crlf = crlf && span.terminated;
        chain(number_hash(group[0]), static_cast<std::uint32_t>(spans_.size()));
        spans_.push_back(span);
    }
}

void HistoryData::chain(std::uint64_t hash, std::uint32_t record)
{
    if (2 * (chained_numbers_ + 1) > chains_.size()) {
        // Kept at most half full, so that a search ends at an empty slot soon.
        std::vector<Chain> old(std::max<std::size_t>(1024, 2 * chains_.size()));
        old.swap(chains_);
        for (const Chain &moved : old) {
            if (moved.first == none)
                continue;
            std::size_t at = moved.hash & (chains_.size() - 1);
            while (chains_[at].first != none)
                at = (at + 1) & (chains_.size() - 1);
            chains_[at] = moved;
        }
    }
    next_.push_back(none);
    std::size_t at = hash & (chains_.size() - 1);
    while (chains_[at].first != none && chains_[at].hash != hash)
        at = (at + 1) & (chains_.size() - 1);
    Chain &slot = chains_[at];
    if (slot.first == none) {
        slot = {hash, record, record};
        ++chained_numbers_;
    } else {
        next_[slot.last] = record;
        slot.last = record;
    }
}

std::string_view HistoryData::number_of(std::size_t record) const
{
    std::string_view line;
    LineCursor(std::string_view(bytes_).substr(spans_[record].begin)).next(line);
    return line;
}

HistoryRecord HistoryData::record(std::size_t i) const
{
    const Span &span = spans_[i];
    HistoryRecord record;
    std::string_view line;
    LineCursor head(std::string_view(bytes_).substr(span.begin, span.result - span.begin));
    head.next(line);
    record.instrument_no = line;
    head.next(line);
    record.date = line;
    head.next(line);
    record.cost = line;
    LineCursor result(std::string_view(bytes_).substr(span.result, span.end - span.result));
    while (result.next(line))
        record.result_lines.emplace_back(line);
    if (span.terminated)
        record.result_lines.pop_back(); // the end marker
    record.terminated = span.terminated;
    return record;
}

std::vector<HistoryRecord> HistoryData::records() const
{
    std::vector<HistoryRecord> all;
    all.reserve(spans_.size());
    for (std::size_t i = 0; i < spans_.size(); ++i)
        all.push_back(record(i));
    return all;
}

std::vector<std::size_t> HistoryData::history_of(std::string_view instrument_no) const
{
    const std::uint64_t hash = number_hash(instrument_no);
    std::vector<std::size_t> found;
    if (chains_.empty())
        return found;
    std::size_t at = hash & (chains_.size() - 1);
    while (chains_[at].first != none && chains_[at].hash != hash)
        at = (at + 1) & (chains_.size() - 1);
    for (std::uint32_t i = chains_[at].first; i != none; i = next_[i])
        if (number_of(i) == instrument_no)
            found.push_back(i);
    return found;
}

HistoryFigures HistoryData::figures_of(std::string_view instrument_no) const
{
    HistoryFigures figures;
    for (const std::size_t i : history_of(instrument_no)) {
        ++figures.count;
        if (const auto cost = Money::parse_leading(record(i).cost)) {
            // A cost that would carry the total past its range adds nothing, like a cost
            // that is not a number.
            (void)figures.total.add(*cost);
        }
    }
    if (figures.count > 0)
        figures.average = figures.total.divided_by(figures.count);
    return figures;
}

std::optional<std::string> HistoryData::with_appended(std::string_view instrument_no,
                                                      std::string_view date, std::string_view cost,
                                                      const ResultLines &result) const
{
    if (field_with_line_break(instrument_no, date, cost))
        return std::nullopt;
    std::string out = bytes_;
    if (!out.empty() && out.back() != '\n')
        out += crlf;
    for (int padding = left_over_lines_; padding > 0 && padding < 4; ++padding)
        out += crlf;
    if (!spans_.empty() && !spans_.back().terminated)
        put_line(out, result_end_marker);
    put_record(out, instrument_no, date, cost, result.lines());
    return out;
}

void HistoryRewrite::copy(std::size_t record)
{
    const HistoryData::Span &span = source_.spans_[record];
    const std::size_t begin = out_.size();
    if (span.crlf) {
        out_.append(source_.bytes_, span.begin, span.end - span.begin);
        written(record, begin, begin + (span.result - span.begin), source_.number_of(record));
        return;
    }
    const HistoryRecord source = source_.record(record);
    put_head(out_, source.instrument_no, source.date, source.cost);
    const std::size_t result = out_.size();
    put_result(out_, source.result_lines);
    written(record, begin, result, source.instrument_no);
}

void HistoryRewrite::replace_result(std::size_t record, const ResultLines &result)
{
    const HistoryRecord source = source_.record(record);
    const std::size_t begin = out_.size();
    put_head(out_, source.instrument_no, source.date, source.cost);
    const std::size_t first = out_.size();
    put_result(out_, result.lines());
    written(record, begin, first, source.instrument_no);
}

void HistoryRewrite::written(std::size_t record, std::size_t begin, std::size_t result,
                             std::string_view number)
{
    in_order_ = in_order_ && record == spans_.size();
    spans_.push_back({begin, result, out_.size(), true, true});
    hashes_.push_back(number_hash(number));
}

HistoryData::HistoryData(HistoryRewrite &&written)
    : bytes_(std::move(written.out_)), spans_(std::move(written.spans_))
{
    if (written.in_order_ && spans_.size() == written.source_.spans_.size()) {
        // Every record in its place with its number: the chains are the source's.
        chains_ = written.source_.chains_;
        chained_numbers_ = written.source_.chained_numbers_;
        next_ = written.source_.next_;
        return;
    }
    next_.reserve(spans_.size());
    for (std::size_t i = 0; i < spans_.size(); ++i)
        chain(written.hashes_[i], static_cast<std::uint32_t>(i));
}

} // namespace durnmoor
