#pragma once

#include <cstdint>
#include <optional>

struct stat;

namespace durnmoor {

// What tells one state of a file from another without reading it: the file itself (device
// and inode, new with every rewrite through the twin), its size, and when its contents and
// its inode last changed, to the nanosecond. Equal identities mean a parsed copy kept from
// the earlier state still is what the file holds.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified_ns = 0;
    std::int64_t changed_ns = 0;

    friend bool operator==(const FileIdentity &, const FileIdentity &) = default;
};

FileIdentity identity_of(const struct stat &status);

// The identity of the file at path now, or nullopt when it cannot be looked at.
std::optional<FileIdentity> identity_at(const char *path);

// Whether the times of an identity hold more than whole seconds. Many file systems (FAT,
// some network shares, ext4 with small inodes) keep whole seconds only: there a change
// within the second of the last one leaves the times as they were.
bool times_below_the_second(const FileIdentity &identity);

// Tests see every file's times in whole seconds, as on such a file system; false
// restores the times as the system gives them.
void set_whole_second_times(bool on);

} // namespace durnmoor
