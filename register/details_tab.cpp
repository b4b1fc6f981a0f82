#include "register/details_tab.h"

#include "calibration/date_forms.h"
#include "calibration/due_date.h"
#include "common/enter_chain.h"
#include "common/locked_look.h"
#include "common/one_line_boxes.h"
#include "register/instrument_register.h"
#include "store/clock.h"
#include "text/number_form.h"
#include "text/screen_text.h"
#include "ui_details_tab.h"

#include <QRegularExpression>
#include <QStyle>
#include <QValidator>

#include <limits>

namespace durnmoor {

namespace {

constexpr int interval_typing_limit = 3;

// Limits what can be typed without cutting a longer value that was loaded from a record.
class TypedLengthValidator : public QValidator {
public:
    TypedLengthValidator(int limit, QObject *parent) : QValidator(parent), limit_(limit) {}
    State validate(QString &input, int &) const override
    {
        return input.size() <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

// A number that is still being typed: a sign alone, or digits ending in the point.
// Normalising it would drop the sign or the point, and a typed 1.5 would end up as 15.
bool unfinished_number(const QString &text)
{
    static const QRegularExpression unfinished(QStringLiteral("^[+-]?([0-9]*\\.)?$"));
    return !text.isEmpty() && unfinished.match(text).hasMatch();
}

QString text_of(const QWidget *control)
{
    if (const auto *box = qobject_cast<const QLineEdit *>(control))
        return box->text();
    return static_cast<const QComboBox *>(control)->currentText();
}

// Shows text in a date list exactly as given ("05" stays "05"), with the list's own entry
// for it current, so that the list opens at the shown value rather than at its top.
void show_in_list(QComboBox *list, const QString &text)
{
    int entry = list->findText(text.trimmed(), Qt::MatchFixedString);
    bool whole = false;
    const int number = text.toInt(&whole);
    if (entry < 0 && whole)
        entry = list->findText(QString::number(number));
    list->setCurrentIndex(entry);
    list->setEditText(text);
}

void set_text(QWidget *control, const QString &text)
{
    if (auto *box = qobject_cast<QLineEdit *>(control))
        box->setText(text);
    else
        show_in_list(static_cast<QComboBox *>(control), text);
}

void fill_date(QComboBox *day, QComboBox *month, QComboBox *year, QDate date)
{
    const SplitDate split = split_date(date);
    day->clear();
    day->addItems(day_choices());
    show_in_list(day, split.day);
    month->clear();
    month->addItems(month_names());
    show_in_list(month, split.month);
    year->clear();
    year->addItems(year_choices(date));
    show_in_list(year, split.year);
}

} // namespace

DetailsTab::DetailsTab(InstrumentRegister &instruments, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::DetailsTab>())
{
    ui->setupUi(this);
    ui->Command4->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    ui->Command2->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    // A field holds whatever the record holds, however long: a stored line cut to the box's
    // default limit would be written back cut.
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->setMaxLength(std::numeric_limits<int>::max());

    for (QWidget *option : {ui->Option1, ui->Option2, ui->Option7, ui->Option3, ui->Option4})
        hold_as_field(option);

    QLineEdit *interval = ui->Text6;
    interval->setValidator(new TypedLengthValidator(interval_typing_limit, interval));
    keep_to_one_line(this);
    connect(interval, &QLineEdit::textEdited, this, [this, interval](const QString &typed) {
        const int cursor = interval->cursorPosition();
        show_due_date(); // the unfinished number has the value of its normal form
        if (unfinished_number(typed)) {
            interval->setText(typed);
            interval->setCursorPosition(cursor);
        }
    });
    for (QComboBox *box : {ui->Combo1, ui->Combo5, ui->Combo6})
        connect(box, &QComboBox::activated, this, &DetailsTab::show_due_date);
    auto *chain = new EnterChain(this);
    const std::pair<QWidget *, QWidget *> enter_moves[] = {
        {ui->Text1, ui->Text2},  {ui->Text2, ui->Text3},   {ui->Text3, ui->Text4},
        {ui->Text4, ui->Text20}, {ui->Text20, ui->Text23}, {ui->Text19, ui->Text20},
        {ui->Text5, ui->Text19}, {ui->Text23, ui->Text24}, {ui->Text24, ui->Text25}};
    for (const auto &[from, to] : enter_moves)
        chain->link(from, to);
    connect(chain, &EnterChain::entered, this, [this](QWidget *field) {
        if (field == ui->Text4)
            emit company_entered();
    });
    connect(ui->Text1, &QLineEdit::textEdited, this, &DetailsTab::number_typed);
    InstrumentRegister *r = &instruments;
    connect(ui->Command4, &QPushButton::clicked, r, &InstrumentRegister::save);
    connect(ui->Command2, &QPushButton::clicked, r, &InstrumentRegister::cancel);
    connect(ui->Command14, &QPushButton::clicked, r, &InstrumentRegister::edit_chosen);

    connect(r, &InstrumentRegister::instrument_shown, this, &DetailsTab::show_instrument);
    connect(r, &InstrumentRegister::instrument_missing, this, [this] {
        last_calibrated_ = QDate();
        show_due_date();
    });
    connect(r, &InstrumentRegister::adding_started, this, [this] {
        fill_dates(today());
        show_due_date();
    });
    connect(r, &InstrumentRegister::entry_began, this, [this] { set_save_enabled(true); });
    connect(r, &InstrumentRegister::entry_opened, this, [this] {
        set_fields_enabled(true);
        set_save_enabled(false); // only Add and Edit make a record savable
    });
    connect(r, &InstrumentRegister::entry_closed, this, [this] {
        set_fields_enabled(false);
        set_save_enabled(false);
    });
    connect(r, &InstrumentRegister::entry_cleared, this, &DetailsTab::clean_fields);
    connect(r, &InstrumentRegister::edit_right_applied, this, &DetailsTab::set_record_buttons);
}

DetailsTab::~DetailsTab() = default;

QList<std::pair<int, QWidget *>> DetailsTab::fields() const
{
    return {{instrument_no, ui->Text1},   {description, ui->Text2},
            {location, ui->Text3},        {cal_company, ui->Text4},
            {cal_cost, ui->Text5},        {purchase_day, ui->Combo2},
            {purchase_month, ui->Combo3}, {purchase_year, ui->Combo4},
            {lastcal_day, ui->Combo1},    {lastcal_month, ui->Combo5},
            {lastcal_year, ui->Combo6},   {serial_no, ui->Text19},
            {manufacturer, ui->Text20},   {asset_value, ui->Text23},
            {purchased_from, ui->Text24}, {purchase_order, ui->Text25},
            {interval_months, ui->Text6}, {0, ui->Text21}}; // the due date is shown, not stored
}

void DetailsTab::show_instrument(const product_record &record)
{
    show_record(record);
    // The record's own dates decide its due date, never those of the one shown before.
    last_calibrated_ = QDate();
    show_due_date();
}

void DetailsTab::show_record(const product_record &record)
{
    loaded_ = record;
    for (const auto &[line, control] : fields())
        if (line != 0)
            set_text(control, screen_text(record[line]));

    // An unknown mode leaves the option that was set before.
    const std::string &mode = record[cal_mode];
    if (mode == mode_internal)
        ui->Option1->setChecked(true);
    else if (mode == mode_external)
        ui->Option2->setChecked(true);
    else if (mode == mode_ref_only)
        ui->Option7->setChecked(true);
    if (record[availability] == state_available)
        ui->Option3->setChecked(true);
    else
        ui->Option4->setChecked(true);
}

std::string DetailsTab::bytes_for(int line, const QString &shown) const
{
    if (shown == screen_text(loaded_[line]))
        return loaded_[line];
    return shown.toLocal8Bit().toStdString();
}

std::string DetailsTab::cost_bytes() const
{
    return bytes_for(cal_cost, ui->Text5->text());
}

QString DetailsTab::company_text() const
{
    return ui->Text4->text();
}

void DetailsTab::show_company(const std::string &name)
{
    ui->Text4->setText(screen_text(name));
}

product_record DetailsTab::entered_record() const
{
    product_record record;
    for (const auto &[line, control] : fields()) {
        if (line == 0 || line == interval_months)
            continue;
        record[line] = bytes_for(line, text_of(control));
        if (line <= cal_cost) // the names and the cost are kept without surrounding blanks
            record[line] = without_outer_blanks(record[line]);
    }
    record[cal_mode] = ui->Option1->isChecked()   ? mode_internal
                       : ui->Option7->isChecked() ? mode_ref_only
                                                  : mode_external;
    record[availability] = ui->Option4->isChecked() ? state_obsolete : state_available;
    record[interval_months] =
        number_form(leading_number(ui->Text6->text().toLocal8Bit().toStdString()));
    return record;
}

void DetailsTab::set_fields_enabled(bool on)
{
    for (const auto &[line, control] : fields())
        control->setEnabled(on);
    for (QWidget *option : {ui->Option1, ui->Option2, ui->Option7, ui->Option3, ui->Option4})
        option->setEnabled(on);
}

void DetailsTab::set_save_enabled(bool on)
{
    ui->Command4->setEnabled(on);
}

void DetailsTab::set_record_buttons(bool may_edit)
{
    ui->Command2->setEnabled(may_edit);
    ui->Command14->setEnabled(may_edit);
}

void DetailsTab::clean_fields()
{
    for (const auto &[line, control] : fields())
        if (auto *box = qobject_cast<QLineEdit *>(control))
            box->clear();
    ui->Text6->setText(QStringLiteral("12"));
    ui->Option2->setChecked(true);
    ui->Option3->setChecked(true);
}

void DetailsTab::fill_dates(QDate today)
{
    fill_date(ui->Combo2, ui->Combo3, ui->Combo4, today);
    fill_date(ui->Combo1, ui->Combo5, ui->Combo6, today);
}

void DetailsTab::set_last_calibrated(QDate date)
{
    const SplitDate split = split_date(date);
    show_in_list(ui->Combo1, split.day);
    show_in_list(ui->Combo5, split.month);
    show_in_list(ui->Combo6, split.year);
}

void DetailsTab::normalise_interval()
{
    QLineEdit *interval = ui->Text6;
    const QString normal = QString::fromStdString(
        plain_number(leading_number(interval->text().toLocal8Bit().toStdString())));
    if (interval->text() != normal)
        interval->setText(normal);
}

void DetailsTab::show_due_date()
{
    normalise_interval();
    const double interval = leading_number(ui->Text6->text().toStdString());
    if (const auto parsed = parse_joined_date(ui->Combo1->currentText() + QLatin1Char('/') +
                                              ui->Combo5->currentText() + QLatin1Char('/') +
                                              ui->Combo6->currentText()))
        last_calibrated_ = *parsed;
    const std::optional<QDate> due =
        last_calibrated_.isValid() ? due_date(last_calibrated_, interval) : std::nullopt;
    ui->Text21->setText(due ? long_display(*due) : QString());
    emit due_date_shown(loaded_, ui->Text21->text());
}

} // namespace durnmoor
