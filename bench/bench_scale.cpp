// Large registers: 100,000 instruments with 1,000,000 calibrations (ten each), and 1,000,000
// instruments with an audit trail of 100,000 entries. Every figure sits beside the floors
// measured in the same run: reading the file into memory, an ideal rewrite (write the twin,
// flush it, rename it over the file) and, for the first save of a session, copying the files
// a backup set holds. Run with --benchmark_repetitions=5 and read the medians.
#include "generate.h"

#include "backup/session_backup.h"
#include "calibration/due_dates.h"
#include "calibration/history_file.h"
#include "common/file_rewrite.h"
#include "common/message_box.h"
#include "register/products_file.h"
#include "restore/backup_restore.h"
#include "store/data_file.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

using namespace durnmoor;
using durnmoor::bench::BenchWindow;
using durnmoor::bench::row_for;

namespace {

constexpr int instruments = 100000;
constexpr int calibrations_each = 10;

const std::string &register_100k()
{
    static const std::string bytes = bench::generate_products(instruments);
    return bytes;
}

const std::string &history_1m()
{
    static const std::string bytes = bench::generate_history(instruments, calibrations_each);
    return bytes;
}

// The 100,000-instrument window over both files, made once: every benchmark below leaves
// the files as it found them.
// A file changed within the last two seconds is read again at every look, as it may still
// be changing: the files are left to settle first, as a register in use has.
void let_files_settle()
{
    QThread::msleep(2100);
}

// The windows made once, closed while the application still stands.
std::unique_ptr<BenchWindow> &large_window_slot()
{
    static std::unique_ptr<BenchWindow> w;
    return w;
}
std::unique_ptr<BenchWindow> &million_window_slot()
{
    static std::unique_ptr<BenchWindow> w;
    return w;
}

QString path_in(const BenchWindow &w, const char *name)
{
    return QDir(w.dir()).filePath(QString::fromLatin1(name));
}

// The session's backup set taken as made, as after the first save of a session: the saves
// timed are the ordinary ones, and the sets they would make do not pile up.
void end_session_backup(const BenchWindow &w)
{
    static SessionBackup spent(w.dir(), {});
    spent.make_now();
    FileRewrite::set_session_backup(&spent);
    QDir(path_in(w, backups_folder_name)).removeRecursively();
}

BenchWindow &large_window()
{
    std::unique_ptr<BenchWindow> &w = large_window_slot();
    if (!w) {
        w = std::make_unique<BenchWindow>(register_100k(), history_1m());
        end_session_backup(*w);
        let_files_settle();
        qAddPostRoutine([] {
            large_window_slot().reset();
            million_window_slot().reset();
        });
    }
    return *w;
}

// Floor: the file read into memory, nothing else.
void read_floor(benchmark::State &state, const char *name)
{
    const DataFilePlace place{path_in(large_window(), name), {}};
    for (auto _ : state)
        benchmark::DoNotOptimize(DataFile::read(place).bytes().size());
}

// Floor: the same bytes written to a new twin, flushed and renamed over the file.
void rewrite_floor_at(benchmark::State &state, const QString &path)
{
    const QByteArray data = QFile::encodeName(path);
    const QByteArray twin = data + ".floor";
    const std::string bytes = DataFile::read({path, {}}).bytes();
    for (auto _ : state) {
        const int fd = ::open(twin.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        bool ok = fd >= 0 &&
                  ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        ok = ok && ::fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok && ::rename(twin.constData(), data.constData()) == 0;
        if (!ok) {
            state.SkipWithError("the ideal rewrite failed");
            break;
        }
    }
}

void rewrite_floor(benchmark::State &state, const char *name)
{
    rewrite_floor_at(state, path_in(large_window(), name));
}

void BM_FloorReadProducts(benchmark::State &state)
{
    read_floor(state, products_file_name);
}
void BM_FloorReadHistory(benchmark::State &state)
{
    read_floor(state, history_file_name);
}
void BM_FloorRewriteProducts(benchmark::State &state)
{
    rewrite_floor(state, products_file_name);
}
void BM_FloorRewriteHistory(benchmark::State &state)
{
    rewrite_floor(state, history_file_name);
}

// One instrument chosen: its record, due date, history and figures.
void BM_Select(benchmark::State &state)
{
    BenchWindow &w = large_window();
    const QListWidget *history = w.control<QListWidget>("List2");
    bench::time_selections(state, w, instruments);
    if (history->count() != calibrations_each)
        state.SkipWithError("the instrument's history was not listed");
}

// A click on each entry of one instrument's history in turn: its result shown.
void BM_HistoryClick(benchmark::State &state)
{
    BenchWindow &w = large_window();
    QListWidget *entries = w.control<QListWidget>("List2");
    const QPlainTextEdit *result = w.control<QPlainTextEdit>("Text26");
    w.select_row(4321);
    BenchWindow::settle();
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % calibrations_each;
        entries->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
        BenchWindow::settle();
    }
    if (result->toPlainText().isEmpty())
        state.SkipWithError("no result was shown");
}

// Down held in the list: each step selects and shows the next instrument. The slowest step
// is reported beside the median, since a key repeat waits for the slowest.
void BM_KeyDown(benchmark::State &state)
{
    BenchWindow &w = large_window();
    QListView *list = w.list();
    w.select_row(1000);
    BenchWindow::settle();
    double slowest = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(list, &press);
        BenchWindow::settle();
        slowest = std::max(slowest, std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
    }
    state.counters["slowest_ms"] = slowest;
    if (list->currentIndex().row() <= 1000)
        state.SkipWithError("the key did not move the selection");
}

// A listing from the menu or the listing tab, named by its control.
template <typename Control> void listing(benchmark::State &state, const char *name)
{
    BenchWindow &w = large_window();
    Control *control = w.control<Control>(name);
    for (auto _ : state) {
        if constexpr (std::is_same_v<Control, QAction>)
            control->trigger();
        else
            control->click();
        BenchWindow::settle();
    }
    state.counters["listed"] = w.rows();
    if (w.rows() == 0)
        state.SkipWithError("nothing was listed");
}

void BM_FullListing(benchmark::State &state)
{
    listing<QAction>(state, "fulllist");
}
void BM_Available(benchmark::State &state)
{
    listing<QAction>(state, "listava");
}
void BM_Obsolete(benchmark::State &state)
{
    listing<QAction>(state, "listobsol");
}
// "List by Instrument Description" and "... Number" in turn: each click lists anew.
void BM_OrderToggle(benchmark::State &state)
{
    BenchWindow &w = large_window();
    bench::time_order_toggle(state, w);
    if (w.rows() != instruments)
        state.SkipWithError("the list was not filled");
}
void BM_Due1(benchmark::State &state)
{
    listing<QRadioButton>(state, "Option8");
}
void BM_Due2(benchmark::State &state)
{
    listing<QRadioButton>(state, "Option12");
}
void BM_Due3(benchmark::State &state)
{
    listing<QRadioButton>(state, "Option9");
}
void BM_Due6(benchmark::State &state)
{
    listing<QRadioButton>(state, "Option10");
}
void BM_Due12(benchmark::State &state)
{
    listing<QRadioButton>(state, "Option11");
}

// The due dates of a register read anew (changed by another program): what the first due
// listing after such a change adds to the listing.
void BM_DueDatesAnew(benchmark::State &state)
{
    const auto data = std::make_shared<const ProductsData>(register_100k());
    for (auto _ : state) {
        DueDates dates;
        benchmark::DoNotOptimize(dates.of(data).data());
    }
}

// MultiSearch with five words.
void search(benchmark::State &state, const QString &words)
{
    BenchWindow &w = large_window();
    QLineEdit *box = w.control<QLineEdit>("Text31");
    for (auto _ : state) {
        box->setText(words);
        emit box->returnPressed();
        BenchWindow::settle();
    }
    state.counters["listed"] = w.rows();
}

// Words that nearly every record holds: every record is matched against all five.
void BM_Search5(benchmark::State &state)
{
    search(state, QStringLiteral("a,e,0,2,-"));
}

// A search as a user makes one: a kind of instrument, a maker, a place, a company and a year.
void BM_Search5Selective(benchmark::State &state)
{
    search(state, QStringLiteral("gauge,druck,lab,labs,2025"));
}

void BM_Save(benchmark::State &state)
{
    bench::time_saves(state, large_window(), instruments);
}

// The files a backup set holds, those of them the folder has.
QStringList files_to_back_up(const BenchWindow &w)
{
    QStringList present;
    for (const char *name :
         {"products.dat", "history.dat", "contacts.dat", "security.dat", "audit.log"})
        if (QFileInfo::exists(path_in(w, name)))
            present << path_in(w, name);
    return present;
}

// Floor: every file a backup set holds copied into a new folder as cheaply as the system
// can (a shared extent, else a copy in the kernel, else reads and writes), each flushed.
bool copy_floor_once(const QStringList &files, const QString &into)
{
    QDir().mkpath(into);
    for (const QString &from : files) {
        const int src = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
        const QByteArray to = QFile::encodeName(QDir(into).filePath(QFileInfo(from).fileName()));
        const int dst = ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        bool ok = src >= 0 && dst >= 0;
        if (ok && ::ioctl(dst, FICLONE, src) != 0) {
            ssize_t got = 0;
            while ((got = ::copy_file_range(src, nullptr, dst, nullptr, 1 << 30, 0)) > 0) {
            }
            if (got < 0) {
                static char block[1 << 18];
                ssize_t n = 0;
                while (ok && (n = ::read(src, block, sizeof block)) > 0)
                    ok = ::write(dst, block, static_cast<std::size_t>(n)) == n;
                ok = ok && n == 0;
            }
        }
        ok = ok && ::fsync(dst) == 0;
        ::close(src);
        ::close(dst);
        if (!ok)
            return false;
    }
    return true;
}

void BM_FloorCopySet(benchmark::State &state)
{
    BenchWindow &w = large_window();
    const QStringList files = files_to_back_up(w);
    const QString into = path_in(w, "floor-copy");
    for (auto _ : state) {
        if (!copy_floor_once(files, into)) {
            state.SkipWithError("the copy failed");
            break;
        }
        state.PauseTiming();
        QDir(into).removeRecursively();
        state.ResumeTiming();
    }
}

// The first save of a session: the session's backup set, then the save as BM_Save times it.
// Each save starts a session of its own; the set it made is removed before the next.
void BM_FirstSaveOfSession(benchmark::State &state)
{
    BenchWindow &w = large_window();
    std::unique_ptr<SessionBackup> session;
    bench::time_saves(state, w, instruments, [&] {
        QDir(path_in(w, backups_folder_name)).removeRecursively();
        session = std::make_unique<SessionBackup>(w.dir(), backed_up_files());
        FileRewrite::set_session_backup(session.get());
    });
    if (!session || !session->made())
        state.SkipWithError("no backup set was made");
    end_session_backup(w);
}

// Three instruments removed in one rewrite; put back (untimed) by saving them again is
// not needed: the register is large enough for every iteration to remove three more.
void BM_Delete3(benchmark::State &state)
{
    BenchWindow &w = large_window();
    QPushButton *remove = w.control<QPushButton>("Command3");
    QItemSelectionModel *selection = w.list()->selectionModel();
    for (auto _ : state) {
        state.PauseTiming();
        const int n = w.rows();
        w.select_row(n / 4);
        for (const int row : {n / 2, 3 * n / 4})
            selection->select(w.list()->model()->index(row, 0), QItemSelectionModel::Select);
        Messages::clear();
        Messages::queue_answer(QMessageBox::Yes);
        BenchWindow::settle();
        state.ResumeTiming();

        remove->click();
        BenchWindow::settle();
        if (w.rows() != n - 3) {
            state.SkipWithError("three instruments were not removed");
            break;
        }
    }
    // Untimed: the loop is over.
    w.write_file(products_file_name, register_100k());
    w.control<QAction>("fulllist")->trigger();
}

// "&Update Result" correcting one calibration: history.dat rewritten, the instrument saved.
void BM_UpdateResult(benchmark::State &state)
{
    BenchWindow &w = large_window();
    QListWidget *entries = w.control<QListWidget>("List2");
    QPlainTextEdit *result = w.control<QPlainTextEdit>("Text26");
    QPushButton *update = w.control<QPushButton>("Command10");
    std::int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.control<QAction>("fulllist")->trigger();
        w.select_row(row_for(i, instruments));
        entries->setCurrentRow(static_cast<int>(i % calibrations_each));
        if (QListWidgetItem *item = entries->currentItem())
            emit entries->itemDoubleClicked(item);
        result->setPlainText(QStringLiteral("Corrected %1.").arg(i++));
        Messages::clear();
        Messages::queue_answer(QMessageBox::Yes);
        BenchWindow::settle();
        state.ResumeTiming();

        update->click();
        BenchWindow::settle();
        if (Messages::shown().size() != 1) {
            state.SkipWithError("the result was not corrected");
            break;
        }
    }
}

// 1,000,000 instruments (and 100,000 calibrations of the first 10,000), in a folder made once,
// with an audit trail of 100,000 entries whose last ones name both files as they are: the
// check at start reads and hashes them all.
const QTemporaryDir &million_folder()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        const std::string products = bench::generate_products(1000000);
        const std::string history = bench::generate_history(10000, 10);
        BenchWindow::write_into(dir.path(), products_file_name, products);
        BenchWindow::write_into(dir.path(), history_file_name, history);
        bench::write_trail(dir.path(), 100000,
                           {{history_file_name, history}, {products_file_name, products}});
        let_files_settle();
        return true;
    }();
    (void)made;
    return dir;
}

// The process's own peak resident size in kB: VmHWM starts anew with the program, where
// getrusage's maximum would carry over what the forking parent held.
long peak_kb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The window made and shown over the million-instrument folder in a fresh process of this
// program, so that its peak memory is the window's alone: "--window-over DIR" prints the
// milliseconds from the end of the splash's one-second pause to a shown, painted window (the
// preparation the pause covers taken off), the peak resident size in kB, the first click's
// milliseconds, and the milliseconds from the end of the pause to the end of the audit
// trail's check, which goes on behind the shown window. The click is made once the check has
// ended.
int window_over(const QString &dir)
{
    const auto start = std::chrono::steady_clock::now();
    auto since = [](auto from) {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from)
            .count();
    };
    BenchWindow w(dir);
    const double paused = std::min(w.prepare_ms(), 1000.0);
    const double shown = since(start) - paused;
    w.window().wait_for_trail_check();
    const double checked = since(start) - paused;
    const auto click = std::chrono::steady_clock::now();
    w.select_row(500000);
    BenchWindow::settle();
    const double clicked = since(click);
    std::printf("%.1f %ld %.1f %.1f\n", shown, peak_kb(), clicked, checked);
    return w.rows() == 1000000 && Messages::shown().empty() ? 0 : 1;
}

void BM_Million_StartUp(benchmark::State &state)
{
    const QString dir = million_folder().path();
    const double mb =
        static_cast<double>(
            QFileInfo(QDir(dir).filePath(QString::fromLatin1(products_file_name))).size()) /
        1e6;
    double shown = 0, peak = 0, clicked = 0, checked = 0;
    for (auto _ : state) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QStringLiteral("/proc/self/exe"), {QStringLiteral("--window-over"), dir});
        if (!child.waitForFinished(120000) || child.exitCode() != 0) {
            state.SkipWithError("the window over a million instruments did not come up");
            break;
        }
        const QList<QByteArray> figures = child.readAllStandardOutput().simplified().split(' ');
        if (figures.size() == 4) {
            shown = figures[0].toDouble();
            peak = figures[1].toDouble() / 1e3;
            clicked = figures[2].toDouble();
            checked = figures[3].toDouble();
        }
    }
    state.counters["register_MB"] = mb;
    state.counters["after_splash_ms"] = shown;
    state.counters["peak_MB"] = peak;
    state.counters["first_click_ms"] = clicked;
    state.counters["trail_checked_ms"] = checked;
}

std::unique_ptr<BenchWindow> &million_window()
{
    std::unique_ptr<BenchWindow> &w = million_window_slot();
    if (!w) {
        large_window(); // for its clean-up at the end
        w = std::make_unique<BenchWindow>(million_folder().path());
    }
    return w;
}

void BM_Million_Select(benchmark::State &state)
{
    BenchWindow &w = *million_window();
    bench::time_selections(state, w, 1000000);
}

void BM_Million_Save(benchmark::State &state)
{
    bench::time_saves(state, *million_window(), 1000000);
}

void BM_Million_FloorRewrite(benchmark::State &state)
{
    const QString path =
        QDir(million_folder().path()).filePath(QString::fromLatin1(products_file_name));
    rewrite_floor_at(state, path);
}

void add_benchmarks()
{
    using bench::add_sized;
    add_sized("FloorReadProducts", BM_FloorReadProducts, {{instruments, 10}});
    add_sized("FloorReadHistory", BM_FloorReadHistory, {{instruments, 10}});
    add_sized("FloorRewriteProducts", BM_FloorRewriteProducts, {{instruments, 5}});
    add_sized("FloorRewriteHistory", BM_FloorRewriteHistory, {{instruments, 5}});
    add_sized("Select", BM_Select, {{instruments, 50}});
    add_sized("HistoryClick", BM_HistoryClick, {{instruments, 50}});
    add_sized("KeyDown", BM_KeyDown, {{instruments, 60}});
    add_sized("FullListing", BM_FullListing, {{instruments, 5}});
    add_sized("OrderToggle", BM_OrderToggle, {{instruments, 6}});
    add_sized("Available", BM_Available, {{instruments, 5}});
    add_sized("Obsolete", BM_Obsolete, {{instruments, 5}});
    add_sized("Due1Month", BM_Due1, {{instruments, 5}});
    add_sized("Due2Months", BM_Due2, {{instruments, 5}});
    add_sized("Due3Months", BM_Due3, {{instruments, 5}});
    add_sized("Due6Months", BM_Due6, {{instruments, 5}});
    add_sized("Due12Months", BM_Due12, {{instruments, 5}});
    add_sized("DueDatesAnew", BM_DueDatesAnew, {{instruments, 5}});
    add_sized("Search5Words", BM_Search5, {{instruments, 5}});
    add_sized("Search5WordsSelective", BM_Search5Selective, {{instruments, 5}});
    add_sized("Save", BM_Save, {{instruments, 5}});
    add_sized("FloorCopySet", BM_FloorCopySet, {{instruments, 5}});
    add_sized("FirstSaveOfSession", BM_FirstSaveOfSession, {{instruments, 5}});
    add_sized("Delete3", BM_Delete3, {{instruments, 5}});
    add_sized("UpdateResult", BM_UpdateResult, {{instruments, 5}});
    add_sized("Million_StartUp", BM_Million_StartUp, {{1000000, 1}});
    add_sized("Million_Select", BM_Million_Select, {{1000000, 20}});
    add_sized("Million_FloorRewrite", BM_Million_FloorRewrite, {{1000000, 3}});
    add_sized("Million_Save", BM_Million_Save, {{1000000, 3}});
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--window-over") == 0) {
        const QString dir = QString::fromLocal8Bit(argv[2]);
        argc = 1;
        return bench::bench_main(argc, argv, nullptr, [&dir] { return window_over(dir); });
    }
    return bench::bench_main(argc, argv, add_benchmarks);
}
