#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace durnmoor {

// Where each line of an audit trail stands, so that a viewer can show any of a million
// entries without holding the trail: the index keeps one offset a line, and a line is read
// from the file when it is asked for. A last line without its LF is a line too.
class TrailIndex {
public:
    explicit TrailIndex(const QString &folder);
    ~TrailIndex();
    TrailIndex(const TrailIndex &) = delete;
    TrailIndex &operator=(const TrailIndex &) = delete;

    // Indexes the lines added since the last call, all of them on the first. A trail that was
    // replaced or has become shorter is indexed anew; a missing one has no lines. False when
    // it cannot be read: problem() says why, and the index is empty.
    bool refresh();
    const QString &problem() const { return problem_; }

    // How many lines the last refresh left as they were: those before it had been indexed
    // too, and only the lines from here on are new (all of them when the trail was indexed
    // anew, a torn last line included, for its LF may have come since).
    std::size_t kept() const { return kept_; }

    std::size_t size() const { return ends_.size() + (torn() ? 1 : 0); }
    // Line i, counted from 0, without its LF; nullopt when it cannot be read.
    std::optional<std::string> line(std::size_t i) const;
    // Lines first to first + count - 1 handed to each (index, line without its LF), last one
    // first, read a piece of several lines at a time: a scan of the whole trail this way costs
    // a read per piece, not one per line. False when a piece cannot be read; the lines handed
    // on before that stand.
    using LineVisitor = std::function<void(std::size_t, std::string_view)>;
    bool visit_backwards(std::size_t first, std::size_t count, const LineVisitor &each) const;

private:
    std::uint64_t line_start(std::size_t i) const { return i == 0 ? 0 : ends_[i - 1] + 1; }
    std::uint64_t line_end(std::size_t i) const { return i < ends_.size() ? ends_[i] : indexed_; }
    bool read_at(std::uint64_t start, char *into, std::size_t length) const;
    std::uint64_t whole_end() const { return ends_.empty() ? 0 : ends_.back() + 1; }
    bool torn() const { return indexed_ > whole_end(); }
    void forget();
    bool fail(int error);

    QString path_;
    int fd_ = -1;
    std::vector<std::uint64_t> ends_; // where the LF of each whole line stands
    std::uint64_t indexed_ = 0;       // how much of the file the index covers
    std::size_t kept_ = 0;
    QString problem_;
};

} // namespace durnmoor
