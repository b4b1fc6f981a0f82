#pragma once

#include "register/instrument_list_model.h"
#include "register/list_entries.h"
#include "register/product_record.h"
#include "register/register_views.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class ListingTab;
}

namespace durnmoor {

class InstrumentRegister;

// "Product Listing": the instrument list, its order, the due-date horizons and the buttons
// that act on the listed instruments. It shows what the register lists and hands it the
// user's choice.
class ListingTab : public QWidget, public ListChoice {
    Q_OBJECT

public:
    explicit ListingTab(InstrumentRegister &instruments, QWidget *parent = nullptr);
    ~ListingTab() override;

    bool by_number() const override;

    // Replaces the list with the lines of these records of data, in this order.
    void show_list(std::shared_ptr<const ProductsData> data, int key_line,
                   std::vector<std::size_t> records);
    void clear_entries();
    std::vector<ListEntry> entries() const override;
    int selected_count() const override;
    std::vector<ListEntry> selected_entries() const override;
    std::optional<ListEntry> current_entry() const override;
    void set_list_tip(const QString &tip);
    // The tip that names the instrument shown with its next due date, if it has one.
    void show_due_tip(const product_record &shown, const QString &due);

    // "&Add New Product", "&Edit Product" and "&Delete Selected Products" by the edit right.
    void set_record_buttons(bool may_edit);
    void set_add_enabled(bool on);

signals:
    // One of the options of "List Instruments due for Calibration within the next...".
    void horizon_chosen(int months);

private:
    std::unique_ptr<Ui::ListingTab> ui;
    InstrumentListModel *lines_;
};

} // namespace durnmoor
