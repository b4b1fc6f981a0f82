#include "register/list_entries.h"

#include <QByteArrayView>

#include <algorithm>

namespace durnmoor {

QString list_text(std::string_view line)
{
    return QString::fromLocal8Bit(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
}

std::vector<ListEntry> list_entries(const ProductsData &data, int key_line,
                                    const std::function<bool(std::size_t)> &wanted,
                                    const std::function<void()> &tick)
{
    std::vector<ListEntry> entries;
    std::vector<QString> folded; // each text folded once, not in every comparison
    entries.reserve(data.size());
    folded.reserve(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (!wanted || wanted(i)) {
            const std::string_view key = data.line(i, key_line);
            QString text = list_text(key);
            folded.push_back(text.toCaseFolded());
            entries.push_back({std::move(text), std::string(key), i});
        }
        if (tick)
            tick();
    }
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return folded[a] < folded[b]; });
    std::vector<ListEntry> sorted;
    sorted.reserve(entries.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(entries[i]));
    return sorted;
}

std::size_t find_entry(const ProductsData &data, int key_line, const ListEntry &entry)
{
    if (entry.record < data.size() && data.line(entry.record, key_line) == entry.key)
        return entry.record;
    return data.find(key_line, entry.key);
}

std::vector<bool> records_of(const ProductsData &data, int key_line,
                             const std::vector<ListEntry> &entries)
{
    std::vector<bool> chosen(data.size(), false);
    for (const ListEntry &entry : entries)
        if (const std::size_t i = find_entry(data, key_line, entry); i != ProductsData::npos)
            chosen[i] = true;
    return chosen;
}

} // namespace durnmoor
