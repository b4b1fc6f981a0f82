// The multi-word search and the listed-items report over a generated register, beside the
// floor both stand on: reading products.dat into memory.
#include "generate.h"

#include "register/instrument_register.h"
#include "register/list_entries.h"
#include "register/products_file.h"
#include "register/search_words.h"
#include "report/report_layout.h"
#include "store/clock.h"
#include "store/data_file.h"

#include <QString>

using namespace durnmoor;
using durnmoor::bench::BenchWindow;

namespace {

// Five words, as a user narrows the list down: about one instrument in sixty answers.
const QString five_words = QStringLiteral("multimeter,lab,fluke,available,20");

int size_of(const benchmark::State &state)
{
    return static_cast<int>(state.range(0));
}

// The floor: products.dat read whole, as every operation here begins.
void BM_ReadRegister(benchmark::State &state)
{
    BenchWindow w(bench::generate_products(size_of(state)));
    const DataFilePlace place = products_file(w.dir());
    for (auto _ : state)
        benchmark::DoNotOptimize(DataFile::read(place).bytes().size());
}

// Enter in the search box: read, match, list, caption and form put back.
void BM_Search(benchmark::State &state)
{
    BenchWindow w(bench::generate_products(size_of(state)));
    for (auto _ : state) {
        w.window().instruments().search(five_words);
        BenchWindow::settle();
    }
    if (w.rows() == 0)
        state.SkipWithError("the search found nothing");
}

// The matching alone, over a register already in memory.
void BM_SearchMatching(benchmark::State &state)
{
    const ProductsData data(bench::generate_products(size_of(state)));
    for (auto _ : state) {
        RecordSearch search(search_words(five_words));
        int found = 0;
        for (std::size_t i = 0; i < data.size(); ++i)
            found += search.matches(data, i);
        benchmark::DoNotOptimize(found);
    }
}

// The report's layout for every instrument listed: the register read once, each entry's
// records looked up by key.
void BM_ReportLayout(benchmark::State &state)
{
    BenchWindow w(bench::generate_products(size_of(state)));
    const DataFilePlace place = products_file(w.dir());
    const std::vector<ListEntry> entries =
        list_entries(ProductsData(DataFile::read(place).take_bytes()), instrument_no);
    for (auto _ : state) {
        const ProductsData data(DataFile::read(place).take_bytes());
        const ReportLayout layout = report_layout(data, entries, instrument_no, {}, today());
        if (layout.pages.size() != entries.size() / report_lines_per_page + 1)
            state.SkipWithError("pages missing");
    }
}

void add_benchmarks()
{
    bench::add_sized("BM_ReadRegister", BM_ReadRegister, {{10000, 20}});
    bench::add_sized("BM_Search", BM_Search, {{10000, 10}});
    bench::add_sized("BM_SearchMatching", BM_SearchMatching, {{10000, 10}});
    bench::add_sized("BM_ReportLayout", BM_ReportLayout, {{10000, 5}});
}

} // namespace

int main(int argc, char **argv)
{
    return bench::bench_main(argc, argv, add_benchmarks);
}
