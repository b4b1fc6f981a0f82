#pragma once

#include "audit/audit_entry.h"
#include "audit/trail_filter.h"
#include "audit/trail_index.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QTimer>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace durnmoor {

// The audit trail as rows, newest first, for a view that may hold a million of them: a line
// is read and parsed only when its row is shown. With a filter set, the trail is scanned
// from its newest line back, a slice at a time between the window's events, and each entry
// that matches joins the rows as it is found.
class TrailModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        column_seq,
        column_time,
        column_user,
        column_action,
        column_file,
        column_record,
        column_changes,
        column_count
    };

    explicit TrailModel(const QString &folder, QObject *parent = nullptr);

    // Reads what the trail gained since the last call (all of it the first time); the new
    // entries' rows come first. False when the trail cannot be read: there are no rows then,
    // and problem() says why.
    bool refresh();
    const QString &problem() const { return index_.problem(); }

    // The rows become the entries the filter lets through; they are found by scan_for().
    void set_filter(const TrailFilter &filter);
    const TrailFilter &filter() const { return filter_; }
    // Whether lines remain to be scanned for the filter.
    bool scanning() const { return scan_below_ > 0; }
    // Scans for the filter until the time is spent or every line has been seen.
    void scan_for(std::chrono::milliseconds budget);
    void scan_all() { scan_for(std::chrono::hours(24)); }
    std::size_t lines() const { return index_.size(); }

    // Each row's line, in the rows' order, read a piece at a time; false when the trail could
    // not be read part way.
    bool visit_rows(const std::function<void(std::string_view)> &each) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    // Rows were found, or the scan ended.
    void scanned();

private:
    // What a row shows, made once from its line.
    struct Shown {
        QString text[column_count];
        QString changes; // one change a line
        QString utc;     // the time as the trail keeps it
    };

    std::size_t line_of(int row) const;
    const Shown *shown(std::size_t line) const;
    // The lines first .. first + count - 1 scanned, newest first; their matches are handed
    // to found in that order.
    void scan(std::size_t first, std::size_t count, std::vector<std::size_t> &found);

    TrailIndex index_;
    TrailFilter filter_;
    // With a filter: the lines of the rows found, newest first; lines below scan_below_ are
    // still to be scanned.
    std::vector<std::size_t> rows_;
    std::size_t scan_below_ = 0;
    QTimer scan_timer_;
    mutable QCache<std::size_t, Shown> shown_;
};

} // namespace durnmoor
