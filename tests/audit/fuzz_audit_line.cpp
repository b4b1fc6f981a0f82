// Any bytes as a line of the audit trail, as the text of an entry, and as a whole trail:
// whatever reads as an entry holds the texts Qt's JSON reader finds in it, and writes a line
// that reads back to it, byte for byte the same when written again; any text written into
// an entry reads back; and the chain says the same of a trail however its bytes arrive, and
// takes a line that follows its last. The viewer's index of the same bytes gives back every
// line, however they are read.
#include "audit/audit_entry.h"
#include "audit/trail_chain.h"
#include "audit/trail_csv.h"
#include "audit/trail_filter.h"
#include "audit/trail_index.h"

#include "fuzz_support.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QTemporaryDir>

#include <fstream>

using namespace durnmoor;
using fuzz::require;

namespace {

volatile bool filter_result = false;

bool same(const TrailChain &a, const TrailChain &b)
{
    return a.first_break() == b.first_break() && a.lines() == b.lines() &&
           a.next_seq() == b.next_seq() && a.next_prev() == b.next_prev() && a.torn() == b.torn() &&
           a.last_after("products.dat") == b.last_after("products.dat");
}

} // namespace

DURNMOOR_FUZZ_TARGET(text)
{
    if (const auto entry = read_audit_line(text)) {
        const std::string line = audit_line(*entry);
        require(line.find('\n') == std::string::npos);
        const auto again = read_audit_line(line);
        require(again && *again == *entry);
        require(audit_line(*again) == line);
        // Qt's JSON reader, where it takes the line too, finds the same texts in it.
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray(text.data(), qsizetype(text.size()))).object();
        if (!json.isEmpty()) {
            for (const auto &[key, value] : {std::pair{"user", &entry->user},
                                             {"time", &entry->time},
                                             {"action", &entry->action},
                                             {"prev", &entry->prev}})
                require(json[key].toString() == fuzz::utf8(*value));
            if (!entry->changes.empty() && entry->changes[0].new_value)
                require(json["changes"][0]["new"].toString() ==
                        fuzz::utf8(*entry->changes[0].new_value));
        }
    }

    const std::string field(text);
    AuditEntry made;
    made.seq = 1 + static_cast<std::int64_t>(text.size());
    made.time = made.user = made.action = made.file = made.after = made.prev = field;
    made.key = {field, field};
    made.changes = {{field, field, std::nullopt}, {field, std::nullopt, field}};
    const std::string line = audit_line(made);
    const auto read = read_audit_line(line);
    require(read && audit_line(*read) == line);
    // Text that is UTF-8 comes back as it went in.
    if (fuzz::utf8(text).toStdString() == field)
        require(*read == made);

    TrailChain whole;
    whole.feed(text);
    whole.end();
    TrailChain pieces;
    for (std::size_t at = 0, step = 1; at < text.size(); at += step, step = step % 13 + 1)
        pieces.feed(text.substr(at, step));
    pieces.end();
    require(same(whole, pieces));

    AuditEntry next;
    next.seq = whole.next_seq();
    next.prev = whole.next_prev();
    next.action = audit_action::login_ok;
    const std::int64_t broken = whole.first_break();
    whole.appended(audit_line(next));
    require(whole.first_break() == broken && whole.next_seq() == next.seq + 1 && !whole.torn());

    // The index over the bytes as a file: the lines, read back to front a piece at a time or
    // one by one, joined by LFs, are the bytes again.
    static const QTemporaryDir folder;
    std::ofstream(folder.filePath("audit.log").toStdString(), std::ios::binary | std::ios::trunc)
        << text;
    TrailIndex index(folder.path());
    require(index.refresh() &&
            index.size() == std::size_t(std::count(text.begin(), text.end(), '\n')) +
                                (!text.empty() && !text.ends_with('\n')));
    std::vector<std::string> back;
    require(index.visit_backwards(0, index.size(), [&](std::size_t i, std::string_view line) {
        require(i == index.size() - 1 - back.size() && index.line(i) == line);
        back.emplace_back(line);
    }));
    std::string joined;
    for (auto line = back.rbegin(); line != back.rend(); ++line)
        joined += *line + '\n';
    require(joined == text || joined == std::string(text) + '\n');

    // Whatever an entry holds, the filter and the export take it.
    if (const auto entry = read_audit_line(text)) {
        const TrailFilter filter{.number = "1", .user = "A", .from = "2026"};
        filter_result = filter.matches(*entry);
        std::string row;
        append_trail_csv_row(row, *entry);
        require(row.ends_with("\r\n"));
    }
}
