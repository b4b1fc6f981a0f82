#include "register/list_entries.h"

#include <QByteArrayView>

#include <algorithm>
#include <set>
#include <unordered_map>

namespace durnmoor {

namespace {

// Counts, record by record, how many earlier records had the same key bytes.
class Occurrences {
public:
    int next(std::string_view key) { return seen_[key]++; }

private:
    std::unordered_map<std::string_view, int> seen_;
};

} // namespace

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
    Occurrences occurrences;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::string_view key = data.line(i, key_line);
        const int occurrence = occurrences.next(key);
        if (!wanted || wanted(i)) {
            QString text = list_text(key);
            folded.push_back(text.toCaseFolded());
            entries.push_back({std::move(text), std::string(key), occurrence});
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
    int seen = 0;
    for (std::size_t i = 0; i < data.size(); ++i)
        if (data.line(i, key_line) == entry.key && seen++ == entry.occurrence)
            return i;
    return ProductsData::npos;
}

std::vector<bool> records_of(const ProductsData &data, int key_line,
                             const std::vector<ListEntry> &entries)
{
    std::set<std::pair<std::string_view, int>> wanted;
    for (const ListEntry &entry : entries)
        wanted.insert({entry.key, entry.occurrence});
    std::vector<bool> chosen(data.size(), false);
    Occurrences occurrences;
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::string_view key = data.line(i, key_line);
        chosen[i] = wanted.count({key, occurrences.next(key)}) > 0;
    }
    return chosen;
}

} // namespace durnmoor
