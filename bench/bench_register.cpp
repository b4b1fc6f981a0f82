// The instrument register on generated registers of 10,000 and 100,000 instruments: filling
// the list, selecting one instrument, one rewrite of products.dat, and Save and Delete as
// the user does them.
#include "generate.h"

#include "common/message_box.h"
#include "register/instrument_register.h"
#include "register/products_file.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace durnmoor;
using durnmoor::bench::BenchWindow;
using durnmoor::bench::row_for;

namespace {

int size_of(const benchmark::State &state)
{
    return static_cast<int>(state.range(0));
}

// "Full Listing": entry closed, list reloaded, caption put back (which lets the list paint), entry
// opened.
void BM_FullListing(benchmark::State &state)
{
    const int n = size_of(state);
    BenchWindow w(bench::generate_products(n));
    QAction *full = w.control<QAction>("fulllist");
    for (auto _ : state) {
        full->trigger();
        BenchWindow::settle();
    }
    if (w.rows() != n)
        state.SkipWithError("the list was not filled");
}

// The list reload alone, the routine every other path ends in.
void BM_LoadUp(benchmark::State &state)
{
    const int n = size_of(state);
    BenchWindow w(bench::generate_products(n));
    for (auto _ : state) {
        w.window().instruments().reload();
        BenchWindow::settle();
    }
    if (w.rows() != n)
        state.SkipWithError("the list was not filled");
}

// Clicking "by description" and "by number" in turn: each click refills the list.
void BM_OrderToggle(benchmark::State &state)
{
    const int n = size_of(state);
    BenchWindow w(bench::generate_products(n));
    bench::time_order_toggle(state, w);
    if (w.rows() != n)
        state.SkipWithError("the list was not filled");
}

// One row selected in List1: the record read and shown, its (empty) history loaded, the
// due date worked out.
void BM_Select(benchmark::State &state)
{
    const int n = size_of(state);
    BenchWindow w(bench::generate_products(n));
    const QLineEdit *number = w.control<QLineEdit>("Text1");
    std::int64_t i = 0;
    int row = 0;
    for (auto _ : state) {
        row = row_for(i++, n);
        w.select_row(row);
        BenchWindow::settle();
    }
    if (number->text() != w.list()->model()->index(row, 0).data().toString())
        state.SkipWithError("the selected instrument was not shown");
}

// The file layer alone: read products.dat, copy every record but one, write the new
// register through products2.dat.
void BM_Rewrite(benchmark::State &state)
{
    const int n = size_of(state);
    QTemporaryDir dir;
    const QString file_path = dir.filePath(QString::fromLatin1(products_file_name));
    {
        QFile file(file_path);
        const std::string bytes = bench::generate_products(n);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size())) {
            state.SkipWithError("products.dat could not be written");
            return;
        }
    }
    state.counters["MB"] = static_cast<double>(QFileInfo(file_path).size()) / 1e6;
    std::int64_t i = 0;
    for (auto _ : state) {
        DataFile file = DataFile::read_for_rewrite(products_file(dir.path()));
        const ProductsData data(file.take_bytes());
        const std::size_t target = data.size() / 2;
        product_record replacement = data.record(target);
        replacement[cal_cost] = (i++ % 2 == 0) ? "101.00" : "99.00";
        ProductsRewrite rewrite(data);
        for (std::size_t r = 0; r < data.size(); ++r) {
            if (r == target)
                rewrite.write(replacement);
            else
                rewrite.copy(r);
        }
        if (!replace_with(file, rewrite).ok) {
            state.SkipWithError("the rewrite failed");
            break;
        }
    }
}

// "&Save" of an edited instrument, answered Yes, the list reloaded.
void BM_Save(benchmark::State &state)
{
    const int n = size_of(state);
    BenchWindow w(bench::generate_products(n));
    bench::time_saves(state, w, n);
}

// "&Remove" of three selected instruments, answered Yes: one rewrite, the list reloaded.
// The register is put back and relisted before each iteration, untimed.
void BM_Delete3(benchmark::State &state)
{
    const int n = size_of(state);
    const std::string original = bench::generate_products(n);
    BenchWindow w(original);
    QAction *full = w.control<QAction>("fulllist");
    QPushButton *remove = w.control<QPushButton>("Command3");
    QItemSelectionModel *selection = w.list()->selectionModel();
    std::int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.write_file(products_file_name, original);
        full->trigger();
        const int first = row_for(i, n);
        w.select_row(first);
        for (const int row : {(first + n / 3) % n, (first + 2 * n / 3) % n})
            selection->select(w.list()->model()->index(row, 0), QItemSelectionModel::Select);
        Messages::clear();
        Messages::queue_answer(QMessageBox::Yes);
        const bool ready =
            remove->isEnabled() && w.list()->selectionModel()->selectedRows().size() == 3;
        BenchWindow::settle();
        state.ResumeTiming();

        remove->click();
        BenchWindow::settle();

        state.PauseTiming();
        const bool removed = ready && Messages::shown().size() == 1 && w.rows() == n - 3;
        ++i;
        state.ResumeTiming();
        if (!removed) {
            state.SkipWithError("three instruments were not removed");
            break;
        }
    }
}

void add_benchmarks()
{
    using bench::add_sized;
    add_sized("FullListing", BM_FullListing, {{10000, 30}, {100000, 5}});
    add_sized("LoadUp", BM_LoadUp, {{10000, 30}, {100000, 5}});
    add_sized("OrderToggle", BM_OrderToggle, {{10000, 20}, {100000, 4}});
    add_sized("Select", BM_Select, {{10000, 100}, {100000, 20}});
    add_sized("Rewrite", BM_Rewrite, {{10000, 30}, {100000, 5}});
    add_sized("Save", BM_Save, {{10000, 20}, {100000, 5}});
    add_sized("Delete3", BM_Delete3, {{10000, 20}, {100000, 5}});
}

} // namespace

int main(int argc, char **argv)
{
    return bench::bench_main(argc, argv, add_benchmarks);
}
