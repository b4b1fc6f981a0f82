#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
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

    std::size_t size() const { return ends_.size() + (torn() ? 1 : 0); }
    // Line i, counted from 0, without its LF; nullopt when it cannot be read.
    std::optional<std::string> line(std::size_t i) const;

private:
    std::uint64_t whole_end() const { return ends_.empty() ? 0 : ends_.back() + 1; }
    bool torn() const { return indexed_ > whole_end(); }
    void forget();
    bool fail(int error);

    QString path_;
    int fd_ = -1;
    std::vector<std::uint64_t> ends_; // where the LF of each whole line stands
    std::uint64_t indexed_ = 0;       // how much of the file the index covers
    QString problem_;
};

} // namespace durnmoor
