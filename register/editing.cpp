#include "register/editing.h"

#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "app/kept_files.h"
#include "common/message_box.h"
#include "app/workspace.h"
#include "calibration/due_date_view.h"
#include "register/details_tab.h"
#include "register/entry_area.h"
#include "register/instrument_list.h"
#include "register/list_entries.h"
#include "register/listing_tab.h"

#include <QApplication>

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

void add_new_product(Workspace &w)
{
    const BusyCursor busy;
    disableform(w);
    clean(w);
    dates(w);
    CALCULATE_DATE(w);
    enableform(w);
    w.details->set_save_enabled(true);
    w.listing->set_add_enabled(false);
    show_tab(w, tab_details);
}

void edit_product(Workspace &w)
{
    if (w.listing->selected_count() == 0) {
        Messages::notify(w.window, QString::fromLatin1(edit_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Information);
        return;
    }
    line_double_clicked(w);
}

std::optional<ProductSave> plan_product_save(Workspace &w, const ProductsData &data,
                                             const product_record &entered)
{
    const std::string &key = entered[instrument_no];
    ProductSave save{ProductsRewrite(data), data.size()};
    bool matched = false;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data.line(i, instrument_no) != key) {
            save.rewrite.copy(i);
            continue;
        }
        save.changed = matched ? std::nullopt : std::optional(i);
        matched = true;
        // No abandons the whole save: nothing has been written yet.
        if (!Messages::confirm(w.window, QString::fromLatin1(overwrite_question),
                               QString::fromLatin1(overwrite_title), QMessageBox::Information))
            return std::nullopt;
        product_record replacement = entered;
        for (int line = first_reserved_line; line <= product_line_count; ++line)
            replacement[line] = std::string(data.line(i, line));
        save.rewrite.write(replacement);
    }
    if (!matched)
        save.rewrite.write(entered);
    return save;
}

void product_saved(Workspace &w, const DataFile &file,
                   const std::shared_ptr<const ProductsData> &before, ProductSave &&save)
{
    const auto written = std::make_shared<const ProductsData>(std::move(save.rewrite));
    w.kept.products.keep(file.identity(), written);
    if (save.changed)
        w.kept.follow({before, written, save.changed, {}});
    disableform(w);
    clean(w);
    load_up(w);
}

bool save_product(Workspace &w)
{
    const BusyCursor busy;
    const product_record entered = w.details->entered_record();
    DataFile file =
        DataFile::read_for_rewrite(products_file(w.state.app_path), w.kept.products.identity());
    if (!report_read_failure(w.window, file, ReadPurpose::change))
        return false;
    const std::shared_ptr<const ProductsData> kept = w.kept.products.take(file);
    std::optional<ProductSave> save = plan_product_save(w, *kept, entered);
    // A failed write keeps what was typed, so the user can try again.
    if (!save || !report_write_failure(w.window, replace_with(file, save->rewrite)))
        return false;
    product_saved(w, file, kept, std::move(*save));
    return true;
}

void cancel_entry(Workspace &w)
{
    w.listing->set_add_enabled(true);
    disableform(w);
    clean(w);
}

void delete_selected(Workspace &w)
{
    const std::vector<ListEntry> selected = w.listing->selected_entries();
    if (selected.empty()) {
        Messages::notify(w.window, QString::fromLatin1(remove_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Information);
        return;
    }
    if (!Messages::confirm(w.window, QString::fromLatin1(delete_question),
                           QString::fromLatin1(delete_title), QMessageBox::Information))
        return;
    const BusyCursor busy;
    disableform(w);
    const int line = w.listing->by_number() ? instrument_no : description;

    // Exactly the records whose lines are selected go, all in one rewrite: a large register
    // is written once instead of once per entry.
    DataFile file =
        DataFile::read_for_rewrite(products_file(w.state.app_path), w.kept.products.identity());
    if (report_read_failure(w.window, file, ReadPurpose::change)) {
        const std::shared_ptr<const ProductsData> kept = w.kept.products.take(file);
        const std::vector<bool> chosen = records_of(*kept, line, selected);
        ProductsRewrite rewrite(*kept);
        for (std::size_t i = 0; i < kept->size(); ++i)
            if (!chosen[i])
                rewrite.copy(i);
        if (report_write_failure(w.window, replace_with(file, rewrite))) {
            const auto written = std::make_shared<const ProductsData>(std::move(rewrite));
            w.kept.products.keep(file.identity(), written);
            w.kept.follow({kept, written, std::nullopt, chosen});
        }
    }

    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    load_up(w);
    enableform(w);
}

} // namespace durnmoor
