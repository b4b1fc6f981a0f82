#include "store/file_identity.h"

#include <sys/stat.h>

namespace durnmoor {

namespace {

constexpr std::int64_t second_ns = 1'000'000'000;
bool whole_seconds = false;

std::int64_t nanoseconds(const struct timespec &time)
{
    return static_cast<std::int64_t>(time.tv_sec) * second_ns + (whole_seconds ? 0 : time.tv_nsec);
}

} // namespace

FileIdentity identity_of(const struct stat &status)
{
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::int64_t>(status.st_size), nanoseconds(status.st_mtim),
            nanoseconds(status.st_ctim)};
}

std::optional<FileIdentity> identity_at(const char *path)
{
    struct stat status {};
    if (::stat(path, &status) != 0)
        return std::nullopt;
    return identity_of(status);
}

bool times_below_the_second(const FileIdentity &identity)
{
    return identity.modified_ns % second_ns != 0 || identity.changed_ns % second_ns != 0;
}

void set_whole_second_times(bool on)
{
    whole_seconds = on;
}

} // namespace durnmoor
