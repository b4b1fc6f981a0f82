#pragma once

#include "register/product_record.h"
#include "register/register_views.h"

#include <QDate>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

namespace Ui {
class DetailsTab;
}

namespace durnmoor {

class InstrumentRegister;

// "Product Details": the instrument record's entry fields, its dates with the next due date,
// and the buttons that save or cancel an entry. It shows the instrument the register shows,
// and is the entry form the register saves from.
class DetailsTab : public QWidget, public EntryForm {
    Q_OBJECT

public:
    explicit DetailsTab(InstrumentRegister &instruments, QWidget *parent = nullptr);
    ~DetailsTab() override;

    // Shows a record read from the products file; it stays the record "last loaded".
    void show_record(const product_record &record);
    const product_record &loaded() const { return loaded_; }

    // The record as the fields stand, lines 1 to 19 (the reserved lines empty). A field that
    // still shows what was loaded gives back the loaded bytes, whatever the encoding made of
    // them; numbers and names are trimmed of blanks, the interval takes its number form.
    product_record entered_record() const override;
    // The bytes of one record line for the text a control shows.
    std::string bytes_for(int line, const QString &shown) const;
    std::string cost_bytes() const override;
    QString company_text() const; // "Calibration Company:"
    void show_company(const std::string &name);

    // The entry fields open or closed, and the buttons ruled by the edit right.
    void set_fields_enabled(bool on);
    void set_save_enabled(bool on);
    void set_record_buttons(bool may_edit); // "&Cancel" and "&Edit Product"
    // Texts blank, interval 12, "Externally" and "Available".
    void clean_fields();

    // Every date list filled and set to the given day.
    void fill_dates(QDate today);
    void set_last_calibrated(QDate date);
    // The interval normalised, the last-calibrated date read (texts that form no date keep
    // the date read before, as while picking), the next due date shown and told.
    void show_due_date();

signals:
    // The next due date of the instrument shown as the fields give it, in the long display
    // form (empty when they give none).
    void due_date_shown(const product_record &loaded, const QString &due);
    // Enter in "Calibration Company:", before the focus moves on to "Manufacturer:".
    void company_entered();
    // "Instrument No:" as the user types it.
    void number_typed(const QString &number);

private:
    // The controls of the entry fields, each with the record line it shows (0 for none).
    QList<std::pair<int, QWidget *>> fields() const;
    void show_instrument(const product_record &record);
    void normalise_interval();

    std::unique_ptr<Ui::DetailsTab> ui;
    product_record loaded_;
    QDate last_calibrated_;
};

} // namespace durnmoor
