#include "generate.h"

#include "audit/sha256.h"
#include "common/message_box.h"
#include "store/clock.h"
#include "text/number_form.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <array>
#include <cstdio>
#include <numeric>
#include <random>
#include <vector>

namespace durnmoor::bench {

namespace {

constexpr std::array descriptions{
    "Digital Multimeter",
    "Torque Wrench 20-100 Nm",
    "Vernier Caliper 150 mm",
    "Outside Micrometer 0-25",
    "Pressure Gauge 0-10 bar",
    "Insulation Tester",
    "Oscilloscope 100 MHz",
    "Thermocouple Probe K",
    "Dial Test Indicator",
    "Height Gauge 300 mm",
    "Bench Power Supply",
    "Clamp Meter 600 A",
    "Feeler Gauge Set",
    "Surface Plate Grade A",
    "Slip Gauge Set",
    "Sound Level Meter",
    "Tachometer",
    "Weighing Scale 30 kg",
};
constexpr std::array locations{"Lab 1",      "Lab 2",      "Stores",        "Workshop A",
                               "Workshop B", "Site Van 3", "Quality Office"};
constexpr std::array companies{"Acme Calibration Ltd", "Northern Metrology", "In-house",
                               "Precision Labs", "Trent Instruments"};
constexpr std::array manufacturers{"Fluke",  "Mitutoyo", "Norbar",   "Tektronix",
                                   "Megger", "Starrett", "Keysight", "Druck"};
constexpr std::array suppliers{"RS Components", "Farnell", "Cromwell", "Direct", "Zoro"};
constexpr std::array intervals{3, 6, 12, 12, 12, 12, 24, 36};
constexpr std::array results{
    "Within tolerance, no adjustment.",
    "Adjusted: zero offset corrected.",
    "Certificate issued, readings attached.",
    "Out of tolerance on range 3, adjusted and rechecked.",
    "Battery replaced before calibration.",
    "Failed: returned to the maker for repair.",
};

template <typename Array> const char *pick(const Array &words, std::mt19937 &rng)
{
    return words[rng() % words.size()];
}

std::string digits(std::mt19937 &rng, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += static_cast<char>('0' + rng() % 10);
    return out;
}

std::string money(std::mt19937 &rng, int low, int high)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d", low + static_cast<int>(rng() % (high - low)),
                  static_cast<int>(rng() % 100));
    return text;
}

std::string english_month(int month)
{
    return QLocale::c().monthName(month, QLocale::LongFormat).toStdString();
}

void put_line(std::string &out, std::string_view line)
{
    out += line;
    out += "\r\n";
}

} // namespace

int bench_main(int argc, char **argv, void (*add_benchmarks)(), const std::function<int()> &instead)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    set_fixed_today(QDate(today_year, today_month, today_day));
    Messages::set_test_mode(true);
    Messages::clear();
    if (instead)
        return instead();

    add_benchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

void add_sized(const char *name, void (*fn)(benchmark::State &),
               std::initializer_list<std::pair<int, int>> sizes_and_iterations)
{
    for (const auto &[size, iterations] : sizes_and_iterations)
        benchmark::RegisterBenchmark(name, fn)
            ->Arg(size)
            ->Iterations(iterations)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
}

std::string instrument_number(int index)
{
    char text[16];
    std::snprintf(text, sizeof text, "INS-%06d", index + 1);
    return text;
}

product_record generated_record(int index)
{
    std::mt19937 rng(static_cast<std::mt19937::result_type>(index) * 2654435761u + 17u);
    product_record record;
    record[instrument_no] = instrument_number(index);
    record[description] = pick(descriptions, rng);
    record[location] = pick(locations, rng);
    record[cal_company] = pick(companies, rng);
    record[cal_cost] = money(rng, 25, 450);
    const unsigned mode = rng() % 10;
    record[cal_mode] = std::string(mode < 4   ? mode_internal
                                   : mode < 9 ? mode_external
                                              : mode_ref_only);
    record[availability] = std::string(rng() % 7 == 0 ? state_obsolete : state_available);
    record[interval_months] = number_form(intervals[rng() % intervals.size()]);
    const QDate bought = QDate(2010, 1, 1).addDays(static_cast<qint64>(rng() % 5000));
    record[purchase_day] = std::to_string(bought.day());
    record[purchase_month] = english_month(bought.month());
    record[purchase_year] = std::to_string(bought.year());
    const QDate calibrated = QDate(2024, 1, 1).addDays(static_cast<qint64>(rng() % 1461));
    record[lastcal_day] = std::to_string(calibrated.day());
    record[lastcal_month] = english_month(calibrated.month());
    record[lastcal_year] = std::to_string(calibrated.year());
    record[serial_no] = "SN" + digits(rng, 8);
    record[manufacturer] = pick(manufacturers, rng);
    record[asset_value] = money(rng, 80, 9000);
    record[purchased_from] = pick(suppliers, rng);
    record[purchase_order] = "PO-" + digits(rng, 5);
    return record;
}

std::string generate_products(int count)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(count) * 320);
    for (int i = 0; i < count; ++i)
        for (const std::string &line : generated_record(i).lines)
            put_line(out, line);
    return out;
}

std::string generate_history(int instruments, int per_instrument)
{
    std::mt19937 rng(4242);
    std::vector<int> order(static_cast<std::size_t>(instruments));
    std::iota(order.begin(), order.end(), 0);
    // Ten rounds over 2018 to 2027: a gap of 330 days and at most 300 of jitter keeps one
    // instrument's dates apart, so each history entry names one record.
    const QDate first(2018, 1, 1);
    std::string out;
    out.reserve(static_cast<std::size_t>(instruments) * static_cast<std::size_t>(per_instrument) *
                110);
    for (int round = 0; round < per_instrument; ++round) {
        std::shuffle(order.begin(), order.end(), rng);
        for (const int index : order) {
            const QDate date = first.addDays(round * 330 + static_cast<qint64>(rng() % 300));
            put_line(out, instrument_number(index));
            put_line(out, date.toString(QStringLiteral("dd/MM/yyyy")).toStdString());
            put_line(out, money(rng, 25, 450));
            put_line(out, "#1RESULT");
            put_line(out, pick(results, rng));
            if (rng() % 2 == 0)
                put_line(out, "Ref. " + digits(rng, 6) + ", technician " + digits(rng, 2));
            put_line(out, "#2RESULT");
        }
    }
    return out;
}

AuditEntry generated_entry(std::int64_t index)
{
    AuditEntry entry;
    entry.time = "2026-12-05T09:30:00.000Z";
    entry.user = "ann";
    entry.action = audit_action::instrument_change;
    entry.file = "products.dat";
    entry.key = {instrument_number(static_cast<int>(index % 100000))};
    entry.changes = {
        {"location", "Lab " + std::to_string(index % 7), "Lab " + std::to_string(index % 5)}};
    entry.after = sha256_hex(std::to_string(index));
    return entry;
}

void write_trail(const QString &dir, int count,
                 const std::vector<std::pair<const char *, std::string_view>> &files)
{
    QFile file(QDir(dir).filePath(QString::fromLatin1(audit_log_name)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    Sha256 hash;
    std::string prev(no_prev_line), bytes;
    const int first_naming = count - static_cast<int>(files.size()) + 1;
    for (int i = 1; i <= count; ++i) {
        AuditEntry entry = generated_entry(i);
        if (i >= first_naming) {
            const auto &[name, contents] = files[static_cast<std::size_t>(i - first_naming)];
            entry.file = name;
            entry.after = sha256_hex(contents);
        }
        entry.seq = i;
        entry.prev = prev;
        const std::size_t start = bytes.size();
        append_audit_line(bytes, entry);
        prev = hex_of(hash.of(std::string_view(bytes).substr(start)));
        bytes += '\n';
        if (bytes.size() > (16 << 20) || i == count) {
            file.write(bytes.data(), static_cast<qint64>(bytes.size()));
            bytes.clear();
        }
    }
}

BenchWindow::BenchWindow(const std::string &products, const std::string &history)
{
    settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("settings.ini")),
                                            QSettings::IniFormat);
    write_file("products.dat", products);
    if (!history.empty())
        write_file("history.dat", history);
    start();
}

BenchWindow::BenchWindow(const QString &program_dir) : over_(program_dir)
{
    settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("settings.ini")),
                                            QSettings::IniFormat);
    start();
}

void BenchWindow::start()
{
    window_ = std::make_unique<MainWindow>(AppContext{dir(), settings_.get()});
    // As at start-up: the register is read and sorted during the splash's pause.
    QElapsedTimer prepared;
    prepared.start();
    window_->prepare();
    prepare_ms_ = static_cast<double>(prepared.nsecsElapsed()) / 1e6;
    window_->fill_form();
    window_->apply_start_rights();
    window_->show();
    settle();
}

BenchWindow::~BenchWindow()
{
    window_.reset();
}

void BenchWindow::write_file(const char *name, const std::string &bytes) const
{
    write_into(dir(), name, bytes);
}

void BenchWindow::write_into(const QString &dir, const char *name, const std::string &bytes)
{
    QFile file(QDir(dir).filePath(QString::fromLatin1(name)));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string BenchWindow::read_file(const char *name) const
{
    QFile file(QDir(dir()).filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void BenchWindow::settle()
{
    QApplication::processEvents();
}

void BenchWindow::select_row(int row) const
{
    const QModelIndex index = list()->model()->index(row, 0);
    list()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void time_selections(benchmark::State &state, BenchWindow &w, int rows)
{
    std::int64_t i = 0;
    for (auto _ : state) {
        w.select_row(row_for(i++, rows));
        BenchWindow::settle();
    }
}

void time_saves(benchmark::State &state, BenchWindow &w, int rows,
                const std::function<void()> &before)
{
    QPushButton *edit = w.control<QPushButton>("Command13");
    QPushButton *save = w.control<QPushButton>("Command4");
    QLineEdit *cost = w.control<QLineEdit>("Text5");
    std::int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        w.control<QAction>("fulllist")->trigger();
        w.select_row(row_for(i, rows));
        edit->click();
        cost->setText((i++ % 2 == 0) ? QStringLiteral("101.00") : QStringLiteral("99.00"));
        Messages::clear();
        Messages::queue_answer(QMessageBox::Yes);
        const bool ready = save->isEnabled();
        if (before)
            before();
        BenchWindow::settle();
        state.ResumeTiming();

        save->click();
        BenchWindow::settle();
        if (!ready || Messages::shown().size() != 1 || w.rows() != rows) {
            state.SkipWithError("the record was not saved over its old self");
            break;
        }
    }
}

void time_order_toggle(benchmark::State &state, BenchWindow &w)
{
    QRadioButton *by_number = w.control<QRadioButton>("Option5");
    QRadioButton *by_description = w.control<QRadioButton>("Option6");
    bool describe = true;
    for (auto _ : state) {
        (describe ? by_description : by_number)->click();
        BenchWindow::settle();
        describe = !describe;
    }
    by_number->click();
}

} // namespace durnmoor::bench
