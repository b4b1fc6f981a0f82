#include "register/list_order.h"

#include <QByteArrayView>

#include <algorithm>
#include <vector>

namespace durnmoor {

void sort_list_lines(QStringList &lines)
{
    // Fold each line once instead of in every comparison.
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(static_cast<std::size_t>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i)
        keys.emplace_back(lines[i].toCaseFolded(), i);
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (const auto &key : keys)
        sorted.append(std::move(lines[key.second]));
    lines = std::move(sorted);
}

QString list_text(std::string_view line)
{
    return QString::fromLocal8Bit(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
}

} // namespace durnmoor
