#include "trail/trail_model.h"

#include "audit/trail_csv.h"

#include <QDateTime>

#include <climits>

namespace durnmoor {

namespace {

// Lines read and parsed in one go of a scan; small enough that a slice ends near its time.
constexpr std::size_t scan_piece = 2048;
// A slice of the scan between the window's events, so that typing and scrolling go on.
constexpr std::chrono::milliseconds scan_slice(15);
// Rows kept parsed: a few screens' worth, for the view asks for each cell several times.
constexpr int rows_kept = 2000;

constexpr const char *column_titles[] = {"Seq",  "Time",   "User",   "Action",
                                         "File", "Record", "Changes"};
static_assert(std::size(column_titles) == TrailModel::column_count);

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The moment in the user's own time, to the second.
QString local_time(const std::string &utc)
{
    const QDateTime moment = QDateTime::fromString(utf8(utc), Qt::ISODateWithMs);
    return moment.isValid() ? moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                            : utf8(utc);
}

} // namespace

TrailModel::TrailModel(const QString &folder, QObject *parent)
    : QAbstractTableModel(parent), index_(folder), shown_(rows_kept)
{
    connect(&scan_timer_, &QTimer::timeout, this, [this] { scan_for(scan_slice); });
}

bool TrailModel::refresh()
{
    const std::size_t before = index_.size();
    const bool ok = index_.refresh();
    const std::size_t kept = index_.kept();
    const std::size_t now = index_.size();
    if (!ok || kept < before) {
        // Replaced, cut or unreadable: what the rows showed may no longer be there.
        beginResetModel();
        shown_.clear();
        rows_.clear();
        scan_below_ = filter_.empty() ? 0 : now;
        endResetModel();
        if (scanning())
            scan_timer_.start();
        return ok;
    }
    if (now == before)
        return true;
    if (filter_.empty()) {
        beginInsertRows({}, 0, static_cast<int>(now - before - 1));
        endInsertRows();
        return true;
    }
    std::vector<std::size_t> found;
    scan(before, now - before, found);
    if (!found.empty()) {
        beginInsertRows({}, 0, static_cast<int>(found.size() - 1));
        rows_.insert(rows_.begin(), found.begin(), found.end());
        endInsertRows();
    }
    return true;
}

void TrailModel::set_filter(const TrailFilter &filter)
{
    if (filter == filter_)
        return;
    beginResetModel();
    filter_ = filter;
    rows_.clear();
    scan_below_ = filter_.empty() ? 0 : index_.size();
    endResetModel();
    if (scanning())
        scan_timer_.start();
    else
        scan_timer_.stop();
    emit scanned();
}

void TrailModel::scan(std::size_t first, std::size_t count, std::vector<std::size_t> &found)
{
    AuditEntry entry;
    index_.visit_backwards(first, count, [&](std::size_t line, std::string_view text) {
        if (read_audit_line(text, entry) && filter_.matches(entry))
            found.push_back(line);
    });
}

void TrailModel::scan_for(std::chrono::milliseconds budget)
{
    using clock = std::chrono::steady_clock;
    const clock::time_point start = clock::now();
    std::vector<std::size_t> found;
    while (scanning() && clock::now() - start < budget) {
        const std::size_t count = std::min(scan_piece, scan_below_);
        scan_below_ -= count;
        scan(scan_below_, count, found);
    }
    if (!found.empty()) {
        const int first = static_cast<int>(rows_.size());
        beginInsertRows({}, first, first + static_cast<int>(found.size()) - 1);
        rows_.insert(rows_.end(), found.begin(), found.end());
        endInsertRows();
    }
    if (!scanning())
        scan_timer_.stop();
    emit scanned();
}

bool TrailModel::visit_rows(const std::function<void(std::string_view)> &each) const
{
    if (filter_.empty())
        return index_.visit_backwards(0, index_.size(),
                                      [&](std::size_t, std::string_view line) { each(line); });
    // The rows' lines run downwards as the visit does: one pass over the trail finds them all.
    auto next = rows_.begin();
    if (next == rows_.end())
        return true;
    return index_.visit_backwards(scan_below_, *next - scan_below_ + 1,
                                  [&](std::size_t at, std::string_view line) {
                                      if (next != rows_.end() && *next == at) {
                                          each(line);
                                          ++next;
                                      }
                                  });
}

int TrailModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    const std::size_t rows = filter_.empty() ? index_.size() : rows_.size();
    return static_cast<int>(std::min<std::size_t>(rows, INT_MAX));
}

int TrailModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : column_count;
}

std::size_t TrailModel::line_of(int row) const
{
    return filter_.empty() ? index_.size() - 1 - static_cast<std::size_t>(row)
                           : rows_[static_cast<std::size_t>(row)];
}

const TrailModel::Shown *TrailModel::shown(std::size_t line) const
{
    if (const Shown *kept = shown_.object(line))
        return kept;
    const std::optional<std::string> text = index_.line(line);
    if (!text)
        return nullptr;
    auto made = std::make_unique<Shown>();
    if (const std::optional<AuditEntry> entry = read_audit_line(*text)) {
        made->text[column_seq] = QString::number(entry->seq);
        made->text[column_time] = local_time(entry->time);
        made->text[column_user] = utf8(entry->user);
        made->text[column_action] = utf8(entry->action);
        made->text[column_file] = utf8(entry->file);
        made->text[column_record] = utf8(key_text(entry->key));
        made->changes = utf8(changes_text(entry->changes));
        if (entry->action == audit_action::failed)
            made->changes = QStringLiteral("entry %1").arg(entry->entry);
        made->text[column_changes] = QString(made->changes).replace(u'\n', QStringLiteral("; "));
        made->utc = utf8(entry->time);
    } else {
        made->text[column_action] = QString::fromLatin1(not_an_entry);
        made->changes = made->text[column_changes] = QString::fromUtf8(*text);
    }
    Shown *kept = made.get();
    shown_.insert(line, made.release());
    return kept;
}

QVariant TrailModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= column_count)
        return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() == column_seq ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                            : QVariant();
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const Shown *row = shown(line_of(index.row()));
    if (!row)
        return {};
    if (role == Qt::ToolTipRole) {
        if (index.column() == column_changes)
            return row->changes.isEmpty() ? QVariant() : row->changes;
        if (index.column() == column_time)
            return row->utc.isEmpty() ? QVariant() : row->utc;
        return {};
    }
    return row->text[index.column()];
}

QVariant TrailModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= column_count)
        return {};
    return QString::fromLatin1(column_titles[section]);
}

} // namespace durnmoor
