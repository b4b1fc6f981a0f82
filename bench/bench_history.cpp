// Calibration history on a generated history.dat of 100,000 records (10,000 instruments,
// ten calibrations each): one instrument's history, the due-date listing, and correcting a
// result with "&Update Result"; and pasting a long result.
#include "generate.h"

#include "calibration/history_file.h"
#include "calibration/result_box.h"
#include "common/message_box.h"
#include "register/products_file.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace durnmoor;
using durnmoor::bench::BenchWindow;
using durnmoor::bench::row_for;

namespace {

constexpr int history_instruments = 10000;
constexpr int calibrations_each = 10;

int size_of(const benchmark::State &state)
{
    return static_cast<int>(state.range(0));
}

const std::string &register_10k()
{
    static const std::string bytes = bench::generate_products(history_instruments);
    return bytes;
}

const std::string &history_100k()
{
    static const std::string bytes =
        bench::generate_history(history_instruments, calibrations_each);
    return bytes;
}

// The file layer alone: read history.dat, pick out one instrument's records and figures.
// Puts the generated 100,000-record history into dir; false (and the benchmark skipped) when it
// fails.
bool write_history(const QTemporaryDir &dir, benchmark::State &state)
{
    QFile file(dir.filePath(QString::fromLatin1(history_file_name)));
    const std::string &bytes = history_100k();
    if (file.open(QIODevice::WriteOnly) &&
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
            static_cast<qint64>(bytes.size()))
        return true;
    state.SkipWithError("history.dat could not be written");
    return false;
}

void BM_HistoryOfOne(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!write_history(dir, state))
        return;
    std::int64_t i = 0;
    std::size_t found = 0;
    for (auto _ : state) {
        const std::string number = bench::instrument_number(row_for(i++, history_instruments));
        // As the window loads it.
        DataFile file = DataFile::read(history_file(dir.path()));
        const HistoryData data(file.take_bytes());
        const std::vector<std::size_t> entries = data.history_of(number);
        const HistoryFigures figures = data.figures_of(number);
        benchmark::DoNotOptimize(figures);
        found = entries.size();
    }
    if (found != calibrations_each)
        state.SkipWithError("the instrument's history was not found");
}

// The parts of HistoryOfOne, to tell where its time goes: reading the file's bytes, parsing
// them into records, and picking out one instrument from the parsed records.
void BM_HistoryRead(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!write_history(dir, state))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(DataFile::read(history_file(dir.path())).bytes());
    state.counters["MB"] = static_cast<double>(history_100k().size()) / 1e6;
}

void BM_HistoryParse(benchmark::State &state)
{
    std::size_t records = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string bytes = history_100k();
        state.ResumeTiming();
        const HistoryData data(std::move(bytes));
        records = data.size();
    }
    if (records != std::size_t{calibrations_each} * history_instruments)
        state.SkipWithError("the history did not parse into its records");
}

void BM_HistoryLookup(benchmark::State &state)
{
    const HistoryData data(history_100k());
    std::int64_t i = 0;
    for (auto _ : state) {
        const std::string number = bench::instrument_number(row_for(i++, history_instruments));
        benchmark::DoNotOptimize(data.history_of(number));
        benchmark::DoNotOptimize(data.figures_of(number));
    }
}

// Selecting an instrument in the list over the full history: record, history list, figures
// and due date.
void BM_SelectWithHistory(benchmark::State &state)
{
    BenchWindow w(register_10k(), history_100k());
    const QListWidget *entries = w.control<QListWidget>("List2");
    bench::time_selections(state, w, history_instruments);
    if (entries->count() != calibrations_each)
        state.SkipWithError("the instrument's history was not listed");
}

// "1 Month": the instruments due by the end of next month, overdue ones included.
void BM_FutureListing(benchmark::State &state)
{
    const int n = size_of(state);
    BenchWindow w(bench::generate_products(n));
    QRadioButton *one_month = w.control<QRadioButton>("Option8");
    for (auto _ : state) {
        one_month->click();
        BenchWindow::settle();
    }
    state.counters["listed"] = w.rows();
    if (w.rows() == 0 || w.rows() == n)
        state.SkipWithError("the listing selected nothing or everything");
}

// Correcting one calibration's result: the history rewritten with the new result, the
// instrument saved (the overwrite question answered Yes) and the list reloaded. Choosing the
// instrument and the entry, opening the result and typing are not timed; both files are
// put back before each iteration.
void BM_UpdateResult(benchmark::State &state)
{
    const std::string &products = register_10k();
    const std::string &history = history_100k();
    BenchWindow w(products, history);
    QListWidget *entries = w.control<QListWidget>("List2");
    QPlainTextEdit *result = w.control<QPlainTextEdit>("Text26");
    QPushButton *update = w.control<QPushButton>("Command10");
    std::int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.write_file(products_file_name, products);
        w.write_file(history_file_name, history);
        w.select_row(row_for(i, history_instruments));
        entries->setCurrentRow(static_cast<int>(i % calibrations_each));
        if (QListWidgetItem *item = entries->currentItem())
            emit entries->itemDoubleClicked(item);
        const QString corrected =
            QStringLiteral("Corrected %1: reading on range 2 was 0.3% high.\nRechecked.").arg(i);
        result->setPlainText(corrected);
        Messages::clear();
        Messages::queue_answer(QMessageBox::Yes);
        const bool ready = update->isEnabled() && !result->isReadOnly();
        BenchWindow::settle();
        state.ResumeTiming();

        update->click();
        BenchWindow::settle();

        state.PauseTiming();
        const bool updated =
            ready && Messages::shown().size() == 1 && w.rows() == history_instruments &&
            w.read_file(history_file_name).find(corrected.section(u'\n', 0, 0).toStdString()) !=
                std::string::npos;
        ++i;
        state.ResumeTiming();
        if (!updated) {
            state.SkipWithError("the result was not corrected");
            break;
        }
    }
}

// Pasting a result into "Calibration Results" and typing one character after it, with the
// box painted each time. The text is one line of the given size; the floor is the same size
// in lines of 80 characters pasted into a plain text box, which lays out only the lines in
// view.
template <bool floor> void paste_result(benchmark::State &state)
{
    const int size = size_of(state);
    QString text(size, u'x');
    if (floor)
        for (int at = 80; at < size; at += 81)
            text[at] = u'\n';
    std::unique_ptr<QPlainTextEdit> box =
        floor ? std::make_unique<QPlainTextEdit>() : std::make_unique<ResultBox>();
    box->resize(600, 300);
    box->show();
    for (auto _ : state) {
        state.PauseTiming();
        box->clear();
        QApplication::clipboard()->setText(text);
        BenchWindow::settle();
        state.ResumeTiming();
        box->paste();
        box->repaint();
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(box.get(), &typed);
        box->repaint();
        BenchWindow::settle();
    }
    if (box->document()->characterCount() < size)
        state.SkipWithError("the text was not pasted");
}

void BM_PasteOneLineResult(benchmark::State &state)
{
    paste_result<false>(state);
}

void BM_PasteFloorLines(benchmark::State &state)
{
    paste_result<true>(state);
}

void add_benchmarks()
{
    using bench::add_sized;
    add_sized("HistoryOfOne", BM_HistoryOfOne, {{calibrations_each * history_instruments, 30}});
    add_sized("HistoryRead", BM_HistoryRead, {{calibrations_each * history_instruments, 30}});
    add_sized("HistoryParse", BM_HistoryParse, {{calibrations_each * history_instruments, 30}});
    add_sized("HistoryLookup", BM_HistoryLookup, {{calibrations_each * history_instruments, 100}});
    add_sized("SelectWithHistory", BM_SelectWithHistory, {{history_instruments, 50}});
    add_sized("FutureListing1Month", BM_FutureListing, {{10000, 30}, {100000, 5}});
    add_sized("UpdateResult", BM_UpdateResult, {{calibrations_each * history_instruments, 20}});
    add_sized("PasteOneLineResult", BM_PasteOneLineResult, {{1 << 20, 5}, {4 << 20, 3}});
    add_sized("PasteFloorLines", BM_PasteFloorLines, {{1 << 20, 5}, {4 << 20, 3}});
}

} // namespace

int main(int argc, char **argv)
{
    return bench::bench_main(argc, argv, add_benchmarks);
}
