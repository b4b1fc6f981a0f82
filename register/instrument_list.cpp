#include "register/instrument_list.h"

#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "app/kept_files.h"
#include "app/workspace.h"
#include "calibration/calibration_history.h"
#include "calibration/due_date_view.h"
#include "calibration/history_tab.h"
#include "register/details_tab.h"
#include "register/entry_area.h"
#include "register/list_entries.h"
#include "register/listing_tab.h"

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

// The list emptied before a fill, in the order chosen now.
void empty_list(Workspace &w)
{
    w.state.list_by_number = w.listing->by_number();
    w.listing->clear_entries();
}

} // namespace

int key_line(const Workspace &w)
{
    return w.state.list_by_number ? instrument_no : description;
}

std::shared_ptr<const ProductsData> shown_products(Workspace &w)
{
    DataFile file = DataFile::read(products_file(w.state.app_path), w.kept.products.identity());
    report_read_failure(w.window, file, ReadPurpose::show);
    return w.kept.products.take(file);
}

void fill_list(Workspace &w, const std::function<bool(const ProductsData &, std::size_t)> &wanted)
{
    const std::shared_ptr<const ProductsData> data = shown_products(w);
    std::function<bool(std::size_t)> chosen;
    if (wanted)
        chosen = [&](std::size_t i) { return wanted(*data, i); };
    fill_list(w, data, chosen);
}

void prepare_listing(Workspace &w)
{
    DataFile file = DataFile::read(products_file(w.state.app_path), w.kept.products.identity());
    if (file.ok())
        w.kept.full_order.of(w.kept.products.take(file), key_line(w));
}

void fill_list(Workspace &w, const std::shared_ptr<const ProductsData> &data,
               const std::function<bool(std::size_t)> &wanted)
{
    EventPump pump;
    const auto tick = [&pump] { pump.tick(); };
    if (!wanted) {
        w.listing->show_list(data, key_line(w), w.kept.full_order.of(data, key_line(w), tick));
        return;
    }
    // Some of the register in the list's order is the kept full order with the rest left
    // out: no sort, when that order is at hand.
    const std::vector<std::size_t> *full = w.kept.full_order.kept_for(data, key_line(w));
    if (!full) {
        w.listing->show_list(data, key_line(w), list_order(*data, key_line(w), wanted, tick));
        return;
    }
    std::vector<std::size_t> records;
    for (const std::size_t record : *full) {
        if (wanted(record))
            records.push_back(record);
        tick();
    }
    w.listing->show_list(data, key_line(w), std::move(records));
}

void load_up(Workspace &w)
{
    const BusyCursor busy;
    empty_list(w);
    clean(w);
    disableform(w);
    fill_list(w);
}

void list_items(Workspace &w)
{
    show_working_caption(w, listing_caption);
    const BusyCursor busy;
    empty_list(w);
    clean(w);
    const std::string_view wanted =
        w.state.list_filter == ListFilter::obsolete ? state_obsolete : state_available;
    fill_list(w, [wanted](const ProductsData &data, std::size_t i) {
        return equals_ignoring_ascii_case(data.line(i, availability), wanted);
    });
    change_caption(w);
    enableform(w);
    show_tab(w, tab_listing);
}

void full_listing(Workspace &w)
{
    const BusyCursor busy;
    disableform(w);
    load_up(w);
    change_caption(w);
    enableform(w);
    show_tab(w, tab_listing);
}

void list_filtered(Workspace &w, ListFilter filter)
{
    const BusyCursor busy;
    w.state.list_filter = filter;
    list_items(w);
}

void order_changed(Workspace &w)
{
    load_up(w);
    disableform(w);
}

void line_clicked(Workspace &w)
{
    const BusyCursor busy;
    disableform(w);
    if (w.listing->selected_count() > 1) {
        w.listing->set_list_tip(QString::fromLatin1(multiple_selected_tip));
        return;
    }
    const std::optional<ListEntry> entry = w.listing->current_entry();
    if (!entry)
        return;
    w.state.list_by_number = w.listing->by_number();

    clean(w);
    disableform(w);
    const std::shared_ptr<const ProductsData> kept = shown_products(w);
    const ProductsData &data = *kept;
    const std::size_t found = find_entry(data, key_line(w), *entry);
    if (found != ProductsData::npos) {
        const product_record record = data.record(found);
        w.details->show_record(record);
        w.history->show_number(screen_text(record[instrument_no]));
        load_history(w, record[instrument_no]);
    } else {
        w.history->show_no_history();
    }
    // The record's own dates decide its due date, never those of the one shown before.
    w.details->forget_last_calibrated();
    CALCULATE_DATE(w);
}

void line_double_clicked(Workspace &w)
{
    if (w.state.may_edit()) {
        enableform(w);
        w.listing->set_add_enabled(false);
        w.details->set_save_enabled(true);
        w.history->set_now_calibrated_enabled(true);
    }
    show_tab(w, tab_details);
}

} // namespace durnmoor
