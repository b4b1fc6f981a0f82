// Spreadsheets over 100,000 instruments: a CSV file of 100,000 rows (an export of the
// register) read, planned and stored through the import window, beside the floors measured
// in the same run: reading the CSV file and an ideal rewrite of products.dat (write the twin,
// flush it, rename it over the file). Every import replaces each instrument with itself, so
// the files stay as they were. Run with --benchmark_repetitions=5 and read the medians.
#include "generate.h"

#include "calibration/history_file.h"
#include "common/message_box.h"
#include "common/open_file_chooser.h"
#include "register/products_file.h"
#include "sheets/csv_reader.h"
#include "sheets/export_sheets.h"
#include "sheets/import_plan.h"
#include "sheets/sheet_files.h"
#include "store/data_file.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>

#include <fcntl.h>
#include <unistd.h>

using namespace durnmoor;
using durnmoor::bench::BenchWindow;

namespace {

constexpr int instruments = 100000;

const std::string &register_100k()
{
    static const std::string bytes = bench::generate_products(instruments);
    return bytes;
}

// The register exported, every instrument listed in file order.
const std::string &csv_100k()
{
    static const std::string bytes = [] {
        const ProductsData data(register_100k());
        std::vector<ListEntry> entries;
        for (std::size_t i = 0; i < data.size(); ++i)
            entries.push_back({{}, std::string(data.line(i, instrument_no)), i});
        const HistoryData none;
        return sheet_csv(
            listed_sheets(data, entries, instrument_no, none, QDate(2026, 12, 5)).instruments);
    }();
    return bytes;
}

BenchWindow &window()
{
    static BenchWindow *w = [] {
        auto *made = new BenchWindow(register_100k());
        made->write_file("import.csv", csv_100k());
        return made;
    }();
    return *w;
}

QString path_in(const BenchWindow &w, const char *name)
{
    return w.dir() + QLatin1Char('/') + QLatin1String(name);
}

void BM_FloorReadCsv(benchmark::State &state)
{
    const QString path = path_in(window(), "import.csv");
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("the CSV file cannot be read");
            break;
        }
        benchmark::DoNotOptimize(file.readAll().size());
    }
}

// Floor: products.dat's bytes written to a new twin, flushed and renamed over the file.
void BM_FloorRewriteProducts(benchmark::State &state)
{
    const QByteArray data = QFile::encodeName(path_in(window(), products_file_name));
    const QByteArray twin = data + ".floor";
    const std::string bytes = register_100k();
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

// The core alone, in memory: read, match, plan against the register, build the rewrite and
// its audit notes.
void BM_ImportCore(benchmark::State &state)
{
    const ProductsData existing(register_100k());
    for (auto _ : state) {
        const CsvTable table = read_csv(csv_100k());
        const ColumnMap columns = match_columns(table.header);
        const ImportPlan plan = plan_import(table, columns, existing);
        const ImportRewrite written = import_rewrite(existing, plan, columns);
        benchmark::DoNotOptimize(written.rewrite.bytes().size());
    }
}

// File › Import Instruments… to the end: the file read and previewed, Import pressed, the
// replace question answered, products.dat rewritten with an audit entry per instrument, the
// list filled again.
void BM_ImportWindow(benchmark::State &state)
{
    BenchWindow &w = window();
    const QString csv = path_in(w, "import.csv");
    set_open_file_chooser([csv](QWidget *, const OpenFileRequest &) { return QStringList{csv}; });
    auto *item = w.control<QAction>("importinstruments");
    for (auto _ : state) {
        item->trigger();
        QPushButton *import = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("ImportInstruments") && top->isVisible())
                import = top->findChild<QPushButton *>(QStringLiteral("importButton"));
        if (!import) {
            state.SkipWithError("the import window did not open");
            break;
        }
        Messages::queue_answer(QMessageBox::Yes);
        import->click();
        BenchWindow::settle();
    }
    if (w.read_file(products_file_name) != register_100k())
        state.SkipWithError("the register is not what it was");
    set_open_file_chooser({});
}

void add_benchmarks()
{
    using bench::add_sized;
    add_sized("FloorReadCsv", BM_FloorReadCsv, {{instruments, 10}});
    add_sized("FloorRewriteProducts", BM_FloorRewriteProducts, {{instruments, 5}});
    add_sized("ImportCore", BM_ImportCore, {{instruments, 5}});
    add_sized("ImportWindow", BM_ImportWindow, {{instruments, 3}});
}

} // namespace

int main(int argc, char **argv)
{
    return bench::bench_main(argc, argv, add_benchmarks);
}
