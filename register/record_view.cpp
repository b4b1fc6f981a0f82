// The instrument record on the details tab: showing a record in the entry controls and
// taking a record back from them.
#include "app/main_window.h"

#include "register/list_order.h"
#include "register/number_form.h"
#include "ui_details_tab.h"
#include "ui_history_tab.h"

namespace durnmoor {

namespace {

// Blanks only: a tab typed into a field is content.
std::string trim_spaces(std::string text)
{
    const auto begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

QString text_of(const QWidget *control)
{
    if (const auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    return static_cast<const QComboBox *>(control)->currentText();
}

void set_text(QWidget *control, const QString &text)
{
    if (auto *box = qobject_cast<QLineEdit *>(control))
        box->setText(text);
    else
        static_cast<QComboBox *>(control)->setCurrentText(text);
}

} // namespace

QList<std::pair<int, QWidget *>> MainWindow::field_controls() const
{
    return {{instrument_no, details->Text1},   {description, details->Text2},
            {location, details->Text3},        {cal_company, details->Text4},
            {cal_cost, details->Text5},        {purchase_day, details->Combo2},
            {purchase_month, details->Combo3}, {purchase_year, details->Combo4},
            {lastcal_day, details->Combo1},    {lastcal_month, details->Combo5},
            {lastcal_year, details->Combo6},   {serial_no, details->Text19},
            {manufacturer, details->Text20},   {asset_value, details->Text23},
            {purchased_from, details->Text24}, {purchase_order, details->Text25}};
}

void MainWindow::show_record(const product_record &record)
{
    loaded_ = record;
    for (const auto &[line, control] : field_controls())
        set_text(control, list_text(record[line]));
    history->Text22->setText(list_text(record[instrument_no]));
    details->Text6->setText(list_text(record[interval_months]));

    // An unknown mode leaves the option that was set before.
    const std::string &mode = record[cal_mode];
    if (mode == mode_internal)
        details->Option1->setChecked(true);
    else if (mode == mode_external)
        details->Option2->setChecked(true);
    else if (mode == mode_ref_only)
        details->Option7->setChecked(true);
    if (record[availability] == state_available)
        details->Option3->setChecked(true);
    else
        details->Option4->setChecked(true);
}

std::string MainWindow::field_bytes(const QString &shown, int line) const
{
    if (shown == list_text(loaded_[line]))
        return loaded_[line];
    return shown.toLocal8Bit().toStdString();
}

product_record MainWindow::record_from_controls() const
{
    product_record record;
    for (const auto &[line, control] : field_controls()) {
        record[line] = field_bytes(text_of(control), line);
        if (line <= cal_cost) // the names and the cost are kept without surrounding blanks
            record[line] = trim_spaces(record[line]);
    }
    record[cal_mode] = details->Option1->isChecked()   ? mode_internal
                       : details->Option7->isChecked() ? mode_ref_only
                                                       : mode_external;
    record[availability] = details->Option4->isChecked() ? state_obsolete : state_available;
    record[interval_months] =
        number_form(leading_number(details->Text6->text().toLocal8Bit().toStdString()));
    return record;
}

} // namespace durnmoor
