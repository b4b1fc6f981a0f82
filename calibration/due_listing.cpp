// The instruments falling due within the next 1, 2, 3 or 6 months.
#include "app/main_window.h"

#include "app/busy_cursor.h"
#include "app/clock.h"
#include "calibration/due_date.h"
#include "register/list_order.h"
#include "register/products_file.h"
#include "ui_listing_tab.h"

namespace durnmoor {

void MainWindow::connect_due_listing()
{
    const std::pair<QRadioButton *, int> horizons[] = {{listing->Option8, 1},
                                                       {listing->Option12, 2},
                                                       {listing->Option9, 3},
                                                       {listing->Option10, 6}};
    for (const auto &[option, months] : horizons)
        connect(option, &QRadioButton::clicked, this,
                [this, months = months] { future_listing(months); });
    connect(listing->Option11, &QRadioButton::clicked, this, &MainWindow::full_listing);
}

void MainWindow::future_listing(int horizon_months)
{
    disableform();
    setWindowTitle(QString::fromLatin1(listing_caption));
    const BusyCursor busy;
    empty_list();
    clean();
    const QDate now = today();
    fill_list([now, horizon_months](const ProductsData &data, std::size_t i) {
        // A record whose dates or interval give no due date is listed under every
        // horizon: it needs the user's attention more than any other.
        const auto due =
            due_date(list_text(data.line(i, lastcal_day)), list_text(data.line(i, lastcal_month)),
                     list_text(data.line(i, lastcal_year)), data.line(i, interval_months));
        return due_within(now, due, horizon_months);
    });
    change_caption();
    enableform();
}

} // namespace durnmoor
