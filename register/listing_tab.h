#pragma once

#include "register/instrument_list_model.h"
#include "register/list_entries.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class ListingTab;
}

namespace durnmoor {

// "Product Listing": the instrument list, its order, the due-date horizons and the buttons
// that act on the listed instruments.
class ListingTab : public QWidget {
    Q_OBJECT

public:
    explicit ListingTab(QWidget *parent = nullptr);
    ~ListingTab() override;

    // "List by Instrument Number" rather than by description.
    bool by_number() const;

    // Replaces the list with the lines of these records of data, in this order.
    void show_list(std::shared_ptr<const ProductsData> data, int key_line,
                   std::vector<std::size_t> records);
    void clear_entries();
    // Every entry from top to bottom.
    std::vector<ListEntry> entries() const;

    int selected_count() const;
    std::vector<ListEntry> selected_entries() const; // top to bottom
    // The line a click made current: the selected one, or the focused one when none is.
    std::optional<ListEntry> current_entry() const;
    void set_list_tip(const QString &tip);

    // "&Add New Product", "&Edit Product" and "&Delete Selected Products" by the edit right.
    void set_record_buttons(bool may_edit);
    void set_add_enabled(bool on);

signals:
    void order_changed();
    void line_clicked();
    void line_double_clicked();
    void add_clicked();
    void edit_clicked();
    void delete_clicked();
    void horizon_chosen(int months);
    void every_horizon_chosen();
    // Enter in the search box "MultiSearch", with the box's text as it stands.
    void search_entered(const QString &text);

private:
    std::unique_ptr<Ui::ListingTab> ui;
    InstrumentListModel *lines_;
};

} // namespace durnmoor
