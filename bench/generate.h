#pragma once

// Generated registers and histories for the benchmarks, and the main window started over
// them as the program starts it.

#include "app/main_window.h"
#include "audit/audit_entry.h"
#include "register/product_record.h"

#include <benchmark/benchmark.h>

#include <QListView>
#include <QListWidget>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace durnmoor::bench {

// The "today" every benchmark runs on, so due listings select the same instruments each run.
inline constexpr int today_year = 2026, today_month = 12, today_day = 5;

// The main of every benchmark program: a QApplication (offscreen unless QT_QPA_PLATFORM
// says otherwise), a fixed today, English month names, message boxes answered from the
// queue instead of shown; then add_benchmarks registers what Google Benchmark runs.
// With instead, that runs in place of the benchmarks and gives the exit status.
int bench_main(int argc, char **argv, void (*add_benchmarks)(),
               const std::function<int()> &instead = {});

// Registers fn once per register size, each with a fixed number of iterations: the window
// operations have untimed set-up per iteration that would otherwise multiply the run time.
// Times are wall-clock milliseconds, since writes wait for the disk.
void add_sized(const char *name, void (*fn)(benchmark::State &),
               std::initializer_list<std::pair<int, int>> sizes_and_iterations);

// Rows visited in turn: spread over the list, never the same row twice running.
inline int row_for(std::int64_t iteration, int rows)
{
    return static_cast<int>((iteration * 7919 + 13) % rows);
}

// "INS-000123" for index 122: numbers start at 1.
std::string instrument_number(int index);

// A realistic instrument: vocabulary descriptions, about one in seven obsolete, last
// calibrated in 2024 to 2027, costs, serial numbers, reserved lines empty. The same index
// always gives the same record.
product_record generated_record(int index);

// count records, CR LF.
std::string generate_products(int count);

// per_instrument calibrations of each of the first `instruments` numbers, in the order they
// would have been recorded: round by round, the instruments of a round in a shuffled order,
// so one instrument's records are spread over the whole file. Each result is one or two
// lines; one instrument's dates are all different.
std::string generate_history(int instruments, int per_instrument);

// An instrument's location changed, as most entries will be: about 330 bytes a line.
AuditEntry generated_entry(std::int64_t index);

// A trail of count entries that chains, as <dir>/audit.log, written a piece at a time. Its
// last entries name each of files (a data file's name and what it holds), in turn, so that a
// check at start finds every one of them as the trail left it.
void write_trail(const QString &dir, int count,
                 const std::vector<std::pair<const char *, std::string_view>> &files = {});

// A temporary program directory holding the given files, and the main window started over
// it (fill_form, apply_start_rights, shown offscreen).
class BenchWindow {
public:
    explicit BenchWindow(const std::string &products, const std::string &history = {});
    // The window over a folder that already holds its files (left as they are).
    explicit BenchWindow(const QString &program_dir);
    static void write_into(const QString &dir, const char *name, const std::string &bytes);
    ~BenchWindow();

    QString dir() const { return over_.isEmpty() ? dir_.path() : over_; }
    void write_file(const char *name, const std::string &bytes) const;
    std::string read_file(const char *name) const;

    MainWindow &window() { return *window_; }
    template <typename T> T *control(const char *name) const
    {
        return window_->findChild<T *>(QString::fromLatin1(name));
    }
    QListView *list() const { return control<QListView>("List1"); }
    int rows() const { return list()->model()->rowCount(); }

    // How long the window's preparation took, the part of start-up the splash's pause covers.
    double prepare_ms() const { return prepare_ms_; }

    // Makes row the one selected row of List1, as a plain click does.
    void select_row(int row) const;

    // Runs what the last step left pending (layout, painting) so the window is idle again.
    // Timed steps end with it, so what an operation defers is counted; set-up steps end
    // with it, so their leftovers are not.
    static void settle();

private:
    void start();

    QTemporaryDir dir_;
    QString over_;
    double prepare_ms_ = 0;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<MainWindow> window_;
};

// Selects rows spread over List1 in turn, each selection timed until the window is idle.
void time_selections(benchmark::State &state, BenchWindow &w, int rows);

// "&Save" of an edited instrument: the overwrite question answered Yes, products.dat
// rewritten with the one record replaced, the list reloaded. Listing, selecting the row and
// pressing Edit are not timed, nor is before, run ahead of each save.
void time_saves(benchmark::State &state, BenchWindow &w, int rows,
                const std::function<void()> &before = {});

// Clicks "List by Instrument Description" and "... Number" in turn, each refill timed; the
// list ends by number.
void time_order_toggle(benchmark::State &state, BenchWindow &w);

} // namespace durnmoor::bench
