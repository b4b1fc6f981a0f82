#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace durnmoor {

// Holds the one-copy lock for a program directory for as long as it lives.
class SingleInstance {
public:
    explicit SingleInstance(const QString &app_path);
    ~SingleInstance();

    // False when another copy working on the same directory is already running.
    bool acquired() const { return acquired_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

} // namespace durnmoor
