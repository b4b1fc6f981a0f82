#include "audit/trail_chain.h"

#include <cstring>

namespace durnmoor {

namespace {
constexpr char changed_outside[] =
    "audit.log has been changed outside Durnmoor: entry %1 does not follow entry %2.";
}

QString trail_changed_outside(std::int64_t entry)
{
    return QString::fromLatin1(changed_outside).arg(entry).arg(entry - 1);
}

void TrailChain::feed(std::string_view piece)
{
    while (!piece.empty()) {
        const void *lf = std::memchr(piece.data(), '\n', piece.size());
        if (!lf) {
            carry_.append(piece);
            return;
        }
        const auto length = static_cast<std::size_t>(static_cast<const char *>(lf) - piece.data());
        if (carry_.empty()) {
            line(piece.substr(0, length), true);
        } else {
            carry_.append(piece.data(), length);
            line(carry_, true);
            carry_.clear();
        }
        piece.remove_prefix(length + 1);
    }
}

void TrailChain::end()
{
    if (carry_.empty())
        return;
    line(carry_, false);
    carry_.clear();
    torn_ = true;
}

void TrailChain::appended(std::string_view bytes)
{
    torn_ = false;
    line(bytes, true);
}

void TrailChain::line(std::string_view bytes, bool whole)
{
    ++lines_;
    const bool entry = read_audit_line(bytes, entry_);
    const bool follows = whole && entry && entry_.seq == next_seq_ && entry_.prev == next_prev_;
    if (!follows && first_break_ == 0)
        first_break_ = lines_;
    hex_into(hash_.of(bytes), next_prev_);
    next_seq_ = entry ? entry_.seq + 1 : lines_ + 1;
    if (entry)
        learn(entry_);
}

void TrailChain::learn(const AuditEntry &entry)
{
    if (entry.action == audit_action::failed) {
        for (FileState &state : files_)
            if (entry.entry != 0 && state.by_seq == entry.entry) {
                state.after = state.before;
                state.by_seq = 0;
            }
        return;
    }
    if (entry.file.empty() || entry.after.empty())
        return;
    FileState *state = nullptr;
    for (FileState &known : files_)
        if (known.file == entry.file)
            state = &known;
    if (!state) {
        files_.push_back({entry.file, {}, {}, 0});
        state = &files_.back();
    }
    // The entries of one rewrite (each record it changed) all name the same after: the
    // first of them is the one whose failure takes the file back to what it held before.
    if (state->after == entry.after)
        return;
    std::swap(state->before, state->after); // the storage of both is reused line after line
    state->after = entry.after;
    state->by_seq = entry.seq;
}

std::string TrailChain::last_after(std::string_view file) const
{
    for (const FileState &state : files_)
        if (state.file == file)
            return state.after;
    return {};
}

} // namespace durnmoor
