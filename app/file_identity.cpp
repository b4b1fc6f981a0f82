#include "app/file_identity.h"

#include <sys/stat.h>

namespace durnmoor {

namespace {

std::int64_t nanoseconds(const struct timespec &time)
{
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
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

} // namespace durnmoor
