#pragma once

#include "register/product_record.h"

#include <QDate>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

namespace Ui {
class DetailsTab;
}

namespace durnmoor {

// "Product Details": the instrument record's entry fields, its dates with the next due date,
// and the buttons that save or cancel an entry.
class DetailsTab : public QWidget {
    Q_OBJECT

public:
    explicit DetailsTab(QWidget *parent = nullptr);
    ~DetailsTab() override;

    // Shows a record read from the products file; it stays the record "last loaded".
    void show_record(const product_record &record);
    const product_record &loaded() const { return loaded_; }

    // The record as the fields stand, lines 1 to 19 (the reserved lines empty). A field that
    // still shows what was loaded gives back the loaded bytes, whatever the encoding made of
    // them; numbers and names are trimmed of blanks, the interval takes its number form.
    product_record entered_record() const;
    // The bytes of one record line for the text a control shows (the history tab's copy of
    // the number, for one).
    std::string bytes_for(int line, const QString &shown) const;
    std::string cost_bytes() const; // "Cost of Calibration:" as a history record stores it
    QString company_text() const;   // "Calibration Company:"
    void show_company(const std::string &name);

    // The entry part of enableform and disableform, and the buttons ruled by the edit right.
    void set_fields_enabled(bool on);
    void set_save_enabled(bool on);
    void set_record_buttons(bool may_edit); // "&Cancel" and "&Edit Product"
    // The entry part of clean: texts blank, interval 12, "Externally" and "Available".
    void clean_fields();

    // The date part of dates: every date list filled and set to the given day.
    void fill_dates(QDate today);
    void set_last_calibrated(QDate date);
    // The frame's part of the due-date rule: the interval normalised, the last-calibrated
    // date read (texts that form no date keep the date read before, as while picking),
    // the next due date shown. A record just loaded has no date before it: forget first.
    std::optional<QDate> calculate_due();
    void forget_last_calibrated();

signals:
    void save_clicked();
    void cancel_clicked();
    void edit_clicked();
    // A pick in the last-calibrated lists or a key typed in the interval.
    void due_inputs_changed();
    // Enter in "Calibration Company:", before the focus moves on to "Manufacturer:".
    void company_entered();
    // "Instrument No:" as the user types it.
    void number_typed(const QString &number);

private:
    QList<std::pair<int, QWidget *>> field_controls() const;
    void normalise_interval();

    std::unique_ptr<Ui::DetailsTab> ui;
    product_record loaded_;
    QDate last_calibrated_;
};

} // namespace durnmoor
