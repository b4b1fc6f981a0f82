// The due date of the instrument on the details tab.
#include "app/main_window.h"

#include "app/clock.h"
#include "calibration/date_forms.h"
#include "calibration/due_date.h"
#include "register/list_order.h"
#include "register/number_form.h"
#include "ui_details_tab.h"
#include "ui_listing_tab.h"

#include <QRegularExpression>
#include <QValidator>

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

void fill_date(QComboBox *day, QComboBox *month, QComboBox *year, QDate date)
{
    const SplitDate split = split_date(date);
    day->clear();
    day->addItems(day_choices());
    day->setCurrentText(split.day);
    month->clear();
    month->addItems(month_names());
    month->setCurrentText(split.month);
    year->clear();
    year->addItems(year_choices(date));
    year->setCurrentText(split.year);
}

} // namespace

void MainWindow::connect_due_dates()
{
    QLineEdit *interval = details->Text6;
    interval->setMaxLength(32767);
    interval->setValidator(new TypedLengthValidator(interval_typing_limit, interval));
    connect(interval, &QLineEdit::textEdited, this, [this, interval](const QString &typed) {
        const int cursor = interval->cursorPosition();
        CALCULATE_DATE(); // the unfinished number has the value of its normal form
        if (unfinished_number(typed)) {
            interval->setText(typed);
            interval->setCursorPosition(cursor);
        }
    });
    for (QComboBox *box : {details->Combo1, details->Combo5, details->Combo6})
        connect(box, &QComboBox::activated, this, [this] { CALCULATE_DATE(); });
}

void MainWindow::dates()
{
    const QDate now = today();
    fill_date(details->Combo2, details->Combo3, details->Combo4, now);
    fill_date(details->Combo1, details->Combo5, details->Combo6, now);
}

void MainWindow::normalise_interval()
{
    QLineEdit *interval = details->Text6;
    const QString normal = QString::fromStdString(
        plain_number(leading_number(interval->text().toLocal8Bit().toStdString())));
    if (interval->text() != normal)
        interval->setText(normal);
}

void MainWindow::CALCULATE_DATE()
{
    normalise_interval();
    const double interval = leading_number(details->Text6->text().toStdString());

    // Texts that form no date leave the previous last-calibrated date in force.
    if (const auto parsed = parse_joined_date(details->Combo1->currentText() + QLatin1Char('/') +
                                              details->Combo5->currentText() + QLatin1Char('/') +
                                              details->Combo6->currentText()))
        last_calibrated_ = *parsed;
    if (!last_calibrated_.isValid())
        return;
    next_due_ = due_date(last_calibrated_, interval);
    if (!next_due_)
        return;

    const QString shown = long_display(*next_due_);
    details->Text21->setText(shown);
    listing->List1->setToolTip(
        QStringLiteral("%1 (%2) due %3")
            .arg(list_text(loaded_[instrument_no]), list_text(loaded_[description]), shown));
}

} // namespace durnmoor
