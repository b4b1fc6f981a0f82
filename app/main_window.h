#pragma once

#include "app/app_state.h"
#include "register/product_record.h"

#include <QDate>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QListWidget;

namespace Ui {
class MAIN;
class ListingTab;
class AddressBookTab;
class DetailsTab;
class HistoryTab;
} // namespace Ui

namespace durnmoor {

class ProductsData;

// The working caption of every operation that fills the instrument list.
inline constexpr char listing_caption[] = "Listing...";

// The tab indexes of SSTab1.
enum MainTab { tab_listing = 0, tab_address_book = 1, tab_details = 2, tab_history = 3 };

// MAIN: the one main window. Its routines are spread over files by the feature they
// serve (instrument list, entry area, editing, due dates, history, address book).
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(const AppContext &context, QWidget *parent = nullptr);
    ~MainWindow() override;

    AppState &state() { return state_; }
    const AppContext &context() const { return context_; }

    // The load step of start-up after the splash is up: fill every list and lock the fields.
    void load_form();
    // Start rights from the protection setting, then the final lock.
    void apply_start_rights();

    // Shared routines.
    void change_caption();
    void enableform();
    void disableform();
    void clean();
    void load_up();
    void list_items();
    void dates();
    void CALCULATE_DATE();

private:
    // main window shell
    void connect_menus();
    void install_context_menu();
    void set_button_pictures();
    void quit_asked();
    void help_asked();
    void show_tab(MainTab tab);

    // instrument list
    void connect_instrument_list();
    void empty_list();
    // Fills List1 with the key lines of the records wanted (all when none is given).
    void fill_list(const std::function<bool(const ProductsData &, std::size_t)> &wanted = {});
    QString list_line(const ProductsData &data, std::size_t record) const;
    void full_listing();
    void list_filtered(ListFilter filter);
    void order_changed();
    void list_selection_changed();
    void list_double_clicked();
    void show_record(const product_record &record);
    int selected_count() const;
    int first_selected_row() const;

    // editing
    void connect_editing();
    QList<std::pair<int, QWidget *>> field_controls() const; // record line, its control
    product_record record_from_controls() const;
    std::string field_bytes(const QString &shown, int line) const;
    void add_new_product();
    void edit_product();
    bool save_product(); // true when the record was written
    void cancel_entry();
    void delete_selected();

    // due dates
    void connect_due_dates();
    void normalise_interval();

    // history
    void connect_history();
    void load_history(const std::string &instrument_no);
    void show_no_history();
    QString selected_history_entry() const;
    void history_entry_chosen();
    void update_result();
    void remove_calibration();

    // due listing
    void connect_due_listing();
    void future_listing(int horizon_months);

    std::unique_ptr<Ui::MAIN> ui;
    std::unique_ptr<Ui::ListingTab> listing;
    std::unique_ptr<Ui::AddressBookTab> address_book;
    std::unique_ptr<Ui::DetailsTab> details;
    std::unique_ptr<Ui::HistoryTab> history;

    AppContext context_;
    AppState state_;

    // The record the list last loaded into the fields. Its number and description name
    // the instrument in the list's tooltip, and a field still showing what was loaded is
    // written back with the loaded bytes, which the system encoding may not reproduce.
    product_record loaded_;
    // The dates the details tab works with.
    QDate last_calibrated_;
    std::optional<QDate> next_due_;
};

} // namespace durnmoor
