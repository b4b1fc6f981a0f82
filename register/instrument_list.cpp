// The instrument list: filling it, and showing the instrument picked in it.
#include "app/main_window.h"

#include "app/busy_cursor.h"
#include "app/file_failure.h"
#include "register/list_order.h"
#include "register/products_file.h"
#include "ui_details_tab.h"
#include "ui_history_tab.h"
#include "ui_listing_tab.h"

#include <QItemSelectionModel>
#include <QSignalBlocker>

namespace durnmoor {

namespace {

constexpr char multiple_selected_tip[] = "Multiple entries selected";

bool equals_ignoring_ascii_case(std::string_view line, std::string_view capitals)
{
    if (line.size() != capitals.size())
        return false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != capitals[i])
            return false;
    }
    return true;
}

} // namespace

void MainWindow::connect_instrument_list()
{
    connect(listing->Option5, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            order_changed();
    });
    connect(listing->Option6, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            order_changed();
    });
    connect(listing->List1, &QListWidget::itemSelectionChanged, this,
            &MainWindow::list_selection_changed);
    connect(listing->List1, &QListWidget::itemDoubleClicked, this,
            &MainWindow::list_double_clicked);
}

QString MainWindow::list_line(const ProductsData &data, std::size_t record) const
{
    return list_text(data.line(record, state_.list_by_number ? instrument_no : description));
}

void MainWindow::empty_list()
{
    state_.list_by_number = listing->Option5->isChecked();
    const QSignalBlocker blocker(listing->List1);
    listing->List1->clear();
}

void MainWindow::fill_list(const std::function<bool(const ProductsData &, std::size_t)> &wanted)
{
    DataFile file = DataFile::read(products_file(state_.app_path));
    report_read_failure(this, file, ReadPurpose::show);
    const ProductsData data(file.take_bytes());
    QStringList lines;
    EventPump pump;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (!wanted || wanted(data, i))
            lines.append(list_line(data, i));
        pump.tick();
    }
    sort_list_lines(lines);

    // One insertion of the sorted lines: the list is not redrawn line by line.
    QListWidget *list = listing->List1;
    const QSignalBlocker blocker(list);
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(lines);
    list->setUpdatesEnabled(true);
}

void MainWindow::load_up()
{
    const BusyCursor busy;
    empty_list();
    clean();
    disableform();
    fill_list();
}

void MainWindow::list_items()
{
    setWindowTitle(QString::fromLatin1(listing_caption));
    const BusyCursor busy;
    empty_list();
    clean();
    const std::string_view wanted =
        state_.list_filter == ListFilter::obsolete ? state_obsolete : state_available;
    fill_list([wanted](const ProductsData &data, std::size_t i) {
        return equals_ignoring_ascii_case(data.line(i, availability), wanted);
    });
    change_caption();
    enableform();
    show_tab(tab_listing);
}

void MainWindow::full_listing()
{
    const BusyCursor busy;
    disableform();
    load_up();
    change_caption();
    enableform();
    show_tab(tab_listing);
}

void MainWindow::list_filtered(ListFilter filter)
{
    const BusyCursor busy;
    state_.list_filter = filter;
    list_items();
}

void MainWindow::order_changed()
{
    load_up();
    disableform();
}

int MainWindow::selected_count() const
{
    return static_cast<int>(listing->List1->selectionModel()->selectedIndexes().size());
}

int MainWindow::first_selected_row() const
{
    int first = -1;
    for (const QModelIndex &index : listing->List1->selectionModel()->selectedIndexes())
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

void MainWindow::list_selection_changed()
{
    const BusyCursor busy;
    disableform();
    QListWidget *list = listing->List1;
    if (selected_count() > 1) {
        list->setToolTip(QString::fromLatin1(multiple_selected_tip));
        return;
    }
    const QListWidgetItem *current = list->currentItem();
    if (!current)
        return;
    const QString wanted = current->text();
    state_.list_by_number = listing->Option5->isChecked();
    const int key_line = state_.list_by_number ? instrument_no : description;

    clean();
    disableform();
    DataFile file = DataFile::read(products_file(state_.app_path));
    report_read_failure(this, file, ReadPurpose::show);
    const ProductsData data(file.take_bytes());
    std::size_t found = ProductsData::npos;
    const QByteArray wanted_bytes = wanted.toLocal8Bit();
    if (!wanted.contains(QChar::ReplacementCharacter)) {
        found =
            data.find(key_line, std::string_view(wanted_bytes.constData(),
                                                 static_cast<std::size_t>(wanted_bytes.size())));
    } else {
        // The line came from bytes the system encoding cannot decode: re-encoding the
        // shown text would not give them back, so compare as the list shows them.
        for (std::size_t i = 0; i < data.size() && found == ProductsData::npos; ++i)
            if (list_text(data.line(i, key_line)) == wanted)
                found = i;
    }
    if (found != ProductsData::npos) {
        const product_record record = data.record(found);
        show_record(record);
        load_history(record[instrument_no]);
    } else {
        show_no_history();
    }
    CALCULATE_DATE();
}

void MainWindow::list_double_clicked()
{
    if (state_.may_edit()) {
        enableform();
        listing->Command1->setEnabled(false);
        details->Command4->setEnabled(true);
        history->Command9->setEnabled(true);
    }
    show_tab(tab_details);
}

} // namespace durnmoor
