#include "support/test_env.h"

#include "common/message_box.h"
#include "store/clock.h"

#include <QFile>
#include <QLocale>

#include <unistd.h>

namespace durnmoor::test {

TestEnv::TestEnv(QDate today)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    set_fixed_today(today);
    set_fixed_now(QDateTime(today, QTime(9, 30), Qt::UTC));
    settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("settings.ini")),
                                            QSettings::IniFormat);
    Messages::set_test_mode(true);
    Messages::clear();
}

TestEnv::~TestEnv()
{
    Messages::clear();
    set_fixed_today(QDate());
    set_fixed_now(QDateTime());
}

void TestEnv::write_file(const QString &name, const std::string &bytes) const
{
    QFile file(path(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

bool TestEnv::write_sparse_file(const QString &name, qint64 size) const
{
    write_file(name, {});
    return ::truncate(QFile::encodeName(path(name)).constData(), off_t(size)) == 0;
}

std::string TestEnv::read_file(const QString &name) const
{
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::string crlf_lines(std::initializer_list<std::string> lines)
{
    std::string out;
    for (const auto &line : lines)
        out += line + "\r\n";
    return out;
}

std::vector<AuditEntry> audit_entries(const TestEnv &env)
{
    std::vector<AuditEntry> entries;
    for (const QByteArray &line : QByteArray::fromStdString(env.read_file("audit.log")).split('\n'))
        if (auto entry = read_audit_line(line.toStdString()))
            entries.push_back(std::move(*entry));
    return entries;
}

} // namespace durnmoor::test
