// The audit trail: one flushed append to a trail of 10,000 entries beside a bare write and
// flush of a line as long; checking the chain of a trail of a million entries, and indexing
// it for the viewer, beside reading the file into memory; and hashing its lines with the
// crypto library the chain uses beside Qt's own SHA-256. The viewer opened on the million
// entries until its first page is drawn, a page scrolled to and drawn, and a search.
// A flush's time on a shared disk drifts by the second: run with
// --benchmark_enable_random_interleaving=true so that the append and its floor meet the
// same disk.
#include "generate.h"

#include "audit/audit_trail.h"
#include "audit/sha256.h"
#include "audit/trail_index.h"
#include "trail/trail_model.h"
#include "trail/trail_window.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTableView>

#include <fcntl.h>
#include <unistd.h>

using namespace durnmoor;

namespace {

constexpr int small_trail = 10000;
constexpr int large_trail = 1000000;

// A trail of count entries that chains, written into a folder of its own.
QTemporaryDir *trail_folder(int count)
{
    auto *dir = new QTemporaryDir;
    bench::write_trail(dir->path(), count);
    return dir;
}

// Made once, on first use, and removed at exit.
const QString &large_folder()
{
    static const QString path = [] {
        static std::unique_ptr<QTemporaryDir> dir(trail_folder(large_trail));
        return dir->path();
    }();
    return path;
}

QString log_in(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(audit_log_name));
}

void BM_Append(benchmark::State &state)
{
    const std::unique_ptr<QTemporaryDir> dir(trail_folder(small_trail));
    AuditTrail trail(dir->path());
    if (!trail.open() || trail.last_seq() != small_trail)
        return state.SkipWithError("the trail could not be read");
    std::int64_t i = 0;
    for (auto _ : state) {
        AuditEntry entry = bench::generated_entry(i++);
        if (trail.append(entry))
            return state.SkipWithError("the entry could not be appended");
    }
}

// The floor: the same bytes written to the end of a trail as long and flushed, the file
// kept open.
void BM_FloorAppend(benchmark::State &state)
{
    const std::unique_ptr<QTemporaryDir> dir(trail_folder(small_trail));
    AuditEntry entry = bench::generated_entry(small_trail + 1);
    entry.seq = small_trail + 1;
    entry.prev = std::string(no_prev_line);
    const std::string line = audit_line(entry) + '\n';
    const int fd =
        ::open(QFile::encodeName(log_in(dir->path())).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0)
        return state.SkipWithError("the trail could not be opened");
    for (auto _ : state)
        if (::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
            ::fsync(fd) != 0)
            state.SkipWithError("the line could not be written");
    ::close(fd);
}

void BM_ChainCheck(benchmark::State &state)
{
    AuditTrail trail(large_folder());
    for (auto _ : state)
        if (!trail.open() || trail.first_break() != 0 || trail.last_seq() != large_trail)
            return state.SkipWithError("the chain did not hold");
}

// The floor: the whole trail read into memory.
void BM_FloorReadTrail(benchmark::State &state)
{
    for (auto _ : state) {
        QFile file(log_in(large_folder()));
        if (!file.open(QIODevice::ReadOnly))
            return state.SkipWithError("the trail could not be read");
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.constData());
    }
}

void BM_BuildIndex(benchmark::State &state)
{
    for (auto _ : state) {
        TrailIndex index(large_folder());
        if (!index.refresh() || index.size() != large_trail)
            return state.SkipWithError("the index is not whole");
    }
}

// The viewer opened on the trail until its first page is drawn: the index built, the rows
// of one screen read and parsed, the window painted.
void BM_ViewerFirstPage(benchmark::State &state)
{
    for (auto _ : state) {
        TrailWindow window(large_folder());
        window.resize(980, 560);
        window.show();
        const QPixmap drawn = window.grab();
        if (window.model().rowCount() != large_trail || drawn.isNull())
            return state.SkipWithError("the viewer did not show the trail");
    }
}

// A page of the open viewer scrolled to somewhere it has not been and drawn: what each step
// of a drag of the scroll bar costs.
void BM_ViewerScroll(benchmark::State &state)
{
    TrailWindow window(large_folder());
    window.resize(980, 560);
    window.show();
    auto *view = window.findChild<QTableView *>(QStringLiteral("entriesView"));
    QScrollBar *bar = view->verticalScrollBar();
    int at = 0;
    for (auto _ : state) {
        at = (at + 7919 * 23) % std::max(1, bar->maximum());
        bar->setValue(at);
        benchmark::DoNotOptimize(view->viewport()->grab());
    }
}

// A search of the whole trail for one user's entries, as the viewer runs it in slices.
void BM_ViewerSearch(benchmark::State &state)
{
    TrailModel model(large_folder());
    if (!model.refresh())
        return state.SkipWithError("the trail could not be read");
    for (auto _ : state) {
        model.set_filter({});
        model.set_filter({.number = "99999"});
        model.scan_all();
        if (model.rowCount() == 0)
            return state.SkipWithError("nothing was found");
    }
}

// 100,000 lines of the trail hashed one by one, by the chain's hash and by Qt's.
template <bool qt> void BM_HashLines(benchmark::State &state)
{
    QFile file(log_in(large_folder()));
    if (!file.open(QIODevice::ReadOnly))
        return state.SkipWithError("the trail could not be read");
    std::vector<QByteArray> lines;
    while (lines.size() < 100000 && !file.atEnd())
        lines.push_back(file.readLine().chopped(1));
    Sha256 hash;
    QCryptographicHash qt_hash(QCryptographicHash::Sha256);
    for (auto _ : state)
        for (const QByteArray &line : lines) {
            if constexpr (qt) {
                qt_hash.reset();
                qt_hash.addData(line);
                benchmark::DoNotOptimize(qt_hash.resultView().data());
            } else {
                benchmark::DoNotOptimize(
                    hash.of(std::string_view(line.constData(), std::size_t(line.size()))));
            }
        }
}

void add_benchmarks()
{
    using bench::add_sized;
    add_sized("Append", BM_Append, {{small_trail, 200}});
    add_sized("FloorAppend", BM_FloorAppend, {{small_trail, 200}});
    add_sized("ChainCheck", BM_ChainCheck, {{large_trail, 3}});
    add_sized("FloorReadTrail", BM_FloorReadTrail, {{large_trail, 3}});
    add_sized("BuildIndex", BM_BuildIndex, {{large_trail, 3}});
    add_sized("ViewerFirstPage", BM_ViewerFirstPage, {{large_trail, 3}});
    add_sized("ViewerScroll", BM_ViewerScroll, {{large_trail, 50}});
    add_sized("ViewerSearch", BM_ViewerSearch, {{large_trail, 3}});
    add_sized("HashLines", BM_HashLines<false>, {{100000, 5}});
    add_sized("HashLines_Qt", BM_HashLines<true>, {{100000, 5}});
}

} // namespace

int main(int argc, char **argv)
{
    return bench::bench_main(argc, argv, add_benchmarks);
}
