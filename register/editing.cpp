// Adding, editing, saving, cancelling and deleting instruments.
#include "app/main_window.h"

#include "app/busy_cursor.h"
#include "app/file_failure.h"
#include "app/message_box.h"
#include "register/list_order.h"
#include "register/products_file.h"
#include "ui_details_tab.h"
#include "ui_history_tab.h"
#include "ui_listing_tab.h"

#include <QSet>

namespace durnmoor {

namespace {

constexpr char edit_nothing_selected[] =
    "To edit a Product, you must first select one (if available) from the list.";
constexpr char remove_nothing_selected[] =
    "To Remove a Product, you must first select one (if available) from the list.";
constexpr char overwrite_question[] = "This record already exists, overwrite ?";
constexpr char overwrite_title[] = "Durnmoor Duplicate Record Alert";
constexpr char delete_question[] = "Delete Selected?";
constexpr char delete_title[] = "Durnmoor Tool Removal Alert";

} // namespace

void MainWindow::connect_editing()
{
    connect(listing->Command1, &QPushButton::clicked, this, &MainWindow::add_new_product);
    connect(listing->Command13, &QPushButton::clicked, this, &MainWindow::edit_product);
    connect(details->Command14, &QPushButton::clicked, this, &MainWindow::edit_product);
    connect(details->Command4, &QPushButton::clicked, this, [this] { save_product(); });
    connect(details->Command2, &QPushButton::clicked, this, &MainWindow::cancel_entry);
    connect(listing->Command3, &QPushButton::clicked, this, &MainWindow::delete_selected);
}

void MainWindow::add_new_product()
{
    const BusyCursor busy;
    disableform();
    clean();
    dates();
    CALCULATE_DATE();
    enableform();
    details->Command4->setEnabled(true);
    listing->Command1->setEnabled(false);
    show_tab(tab_details);
}

void MainWindow::edit_product()
{
    if (first_selected_row() < 0) {
        Messages::notify(this, QString::fromLatin1(edit_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Information);
        return;
    }
    list_double_clicked();
}

bool MainWindow::save_product()
{
    const BusyCursor busy;
    const product_record entered = record_from_controls();
    const std::string &key = entered[instrument_no];

    DataFile file = DataFile::read_for_rewrite(products_file(state_.app_path));
    if (!report_read_failure(this, file, ReadPurpose::change))
        return false;
    const ProductsData data(file.take_bytes());
    ProductsRewrite rewrite(data);
    bool matched = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data.line(i, instrument_no) != key) {
            rewrite.copy(i);
            continue;
        }
        matched = true;
        // No abandons the whole save: nothing has been written yet.
        if (!Messages::confirm(this, QString::fromLatin1(overwrite_question),
                               QString::fromLatin1(overwrite_title), QMessageBox::Information))
            return false;
        product_record replacement = entered;
        for (int line = first_reserved_line; line <= product_line_count; ++line)
            replacement[line] = std::string(data.line(i, line));
        rewrite.write(replacement);
    }
    if (!matched)
        rewrite.write(entered);

    // A failed write keeps what was typed, so the user can try again.
    if (!report_write_failure(this, file.replace(rewrite.bytes())))
        return false;
    disableform();
    clean();
    load_up();
    return true;
}

void MainWindow::cancel_entry()
{
    listing->Command1->setEnabled(true);
    disableform();
    clean();
}

void MainWindow::delete_selected()
{
    if (first_selected_row() < 0) {
        Messages::notify(this, QString::fromLatin1(remove_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Information);
        return;
    }
    if (!Messages::confirm(this, QString::fromLatin1(delete_question),
                           QString::fromLatin1(delete_title), QMessageBox::Information))
        return;
    const BusyCursor busy;
    disableform();
    const int key_line = listing->Option5->isChecked() ? instrument_no : description;

    QSet<QString> keys;
    for (const QListWidgetItem *item : listing->List1->selectedItems())
        keys.insert(item->text());

    // Every selected entry goes in one rewrite: the file ends as if each had been
    // removed in turn, and a large register is written once instead of once per entry.
    DataFile file = DataFile::read_for_rewrite(products_file(state_.app_path));
    if (report_read_failure(this, file, ReadPurpose::change)) {
        const ProductsData data(file.take_bytes());
        ProductsRewrite rewrite(data);
        for (std::size_t i = 0; i < data.size(); ++i)
            if (!keys.contains(list_text(data.line(i, key_line))))
                rewrite.copy(i);
        report_write_failure(this, file.replace(rewrite.bytes()));
    }

    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    load_up();
    enableform();
}

} // namespace durnmoor
