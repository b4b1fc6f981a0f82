#pragma once

#include "audit/audit_entry.h"

#include <QDate>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace durnmoor::test {

// A private world for one test: its own program directory, its own settings file, a
// fixed "today" (5 December 2026 unless told otherwise) and "now" (09:30 UTC that day),
// English names, and message boxes that are recorded instead of shown.
class TestEnv {
public:
    explicit TestEnv(QDate today = QDate(2026, 12, 5));
    ~TestEnv();

    QString dir() const { return dir_.path(); }
    QString path(const QString &name) const { return dir_.filePath(name); }
    QSettings &settings() { return *settings_; }

    void write_file(const QString &name, const std::string &bytes) const;
    // A file of the given size that takes no room on the disk: one hole, read as zeros.
    bool write_sparse_file(const QString &name, qint64 size) const;
    std::string read_file(const QString &name) const;
    bool exists(const QString &name) const { return QFileInfo::exists(path(name)); }

private:
    QTemporaryDir dir_;
    std::unique_ptr<QSettings> settings_;
};

// Joins lines, each ended by CR LF.
std::string crlf_lines(std::initializer_list<std::string> lines);

// The entries of the folder's audit.log in order; a line that is no entry is left out.
std::vector<AuditEntry> audit_entries(const TestEnv &env);

} // namespace durnmoor::test

// Files and records in test tables are byte strings.
Q_DECLARE_METATYPE(std::string)

namespace QTest {
// Files are compared as std::string; a failure shows them as a byte array would.
template <> inline char *toString(const std::string &bytes)
{
    return toString(QByteArray::fromStdString(bytes));
}
} // namespace QTest
