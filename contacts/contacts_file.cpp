#include "contacts/contacts_file.h"

#include <QByteArrayView>
#include <QDir>

namespace durnmoor {

DataFilePlace contacts_file(const QString &app_path)
{
    const QDir dir(app_path);
    return {dir.filePath(QString::fromLatin1(contacts_file_name)),
            dir.filePath(QString::fromLatin1(contacts_twin_name))};
}

contact_record ContactsData::record(std::size_t i) const
{
    contact_record result;
    for (int n = 1; n <= contact_line_count; ++n)
        result[n] = std::string(line(i, n));
    return result;
}

std::optional<std::string> ContactsData::complete_company(const QString &typed) const
{
    const QString wanted = typed.toLower();
    for (std::size_t i = 0; i < size(); ++i) {
        const std::string_view name = line(i, company_name);
        const QString shown = QString::fromLocal8Bit(
            QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
        if (shown.toLower().contains(wanted))
            return std::string(name);
    }
    return std::nullopt;
}

QString clipboard_text(const std::array<QString, contact_line_count> &fields)
{
    QString text;
    for (const QString &field : fields)
        text += field + QStringLiteral("\r\n");
    return text;
}

} // namespace durnmoor
