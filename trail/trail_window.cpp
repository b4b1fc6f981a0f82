#include "trail/trail_window.h"

#include "ui_trail_window.h"

#include "audit/audit_entry.h"
#include "audit/audit_trail.h"
#include "common/busy_cursor.h"
#include "common/message_box.h"
#include "common/save_file_chooser.h"
#include "trail/trail_export.h"
#include "trail/trail_model.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>

#include "store/clock.h"

namespace durnmoor {

namespace {

constexpr char all_actions[] = "All actions";
constexpr char export_suggested[] = "Durnmoor audit trail.csv";
constexpr char export_failed[] = "%1 could not be written.\n%2\nNothing has been exported.";
constexpr std::chrono::milliseconds typing_pause(250);

constexpr const char *trail_actions[] = {audit_action::instrument_add,
                                         audit_action::instrument_change,
                                         audit_action::instrument_delete,
                                         audit_action::calibration_add,
                                         audit_action::calibration_change,
                                         audit_action::calibration_remove,
                                         audit_action::certificate_attach,
                                         audit_action::certificate_remove,
                                         audit_action::contact_add,
                                         audit_action::contact_change,
                                         audit_action::contact_remove,
                                         audit_action::account_add,
                                         audit_action::account_change,
                                         audit_action::account_remove,
                                         audit_action::options_change,
                                         audit_action::login_ok,
                                         audit_action::login_fail,
                                         audit_action::file_outside_change,
                                         audit_action::backup_restore,
                                         audit_action::import,
                                         audit_action::failed};

// Widths that fit the usual contents: sizing columns to their contents would read every row.
constexpr int column_widths[] = {70, 150, 110, 150, 100, 150};

std::string utf8(const QString &text)
{
    return text.trimmed().toStdString();
}

} // namespace

TrailWindow::TrailWindow(const QString &folder, QWidget *parent)
    : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::TrailWindow>()),
      model_(new TrailModel(folder, this)), folder_(folder)
{
    ui->setupUi(this);
    ui->actionFilter->addItem(QString::fromLatin1(all_actions));
    for (const char *action : trail_actions)
        ui->actionFilter->addItem(QString::fromLatin1(action), QString::fromLatin1(action));
    const QDate now = today();
    ui->fromDate->setDate(now);
    ui->untilDate->setDate(now);

    QTableView *view = ui->entriesView;
    view->setModel(model_);
    // A million rows scroll smoothly only when no row's height has to be worked out.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->verticalHeader()->hide();
    for (int column = 0; column < int(std::size(column_widths)); ++column)
        view->setColumnWidth(column, column_widths[column]);
    view->horizontalHeader()->setStretchLastSection(true);

    typing_.setSingleShot(true);
    typing_.setInterval(typing_pause);
    connect(&typing_, &QTimer::timeout, this, &TrailWindow::apply_filter);
    for (QLineEdit *box : {ui->numberFilter, ui->userFilter})
        connect(box, &QLineEdit::textChanged, &typing_, qOverload<>(&QTimer::start));
    connect(ui->actionFilter, &QComboBox::currentIndexChanged, this, &TrailWindow::apply_filter);
    connect(ui->fromCheck, &QCheckBox::toggled, ui->fromDate, &QWidget::setEnabled);
    connect(ui->untilCheck, &QCheckBox::toggled, ui->untilDate, &QWidget::setEnabled);
    for (QCheckBox *check : {ui->fromCheck, ui->untilCheck})
        connect(check, &QCheckBox::toggled, this, &TrailWindow::apply_filter);
    for (QDateEdit *date : {ui->fromDate, ui->untilDate})
        connect(date, &QDateEdit::dateChanged, this, &TrailWindow::apply_filter);
    connect(model_, &TrailModel::scanned, this, &TrailWindow::show_count);
    connect(model_, &TrailModel::rowsInserted, this, &TrailWindow::show_count);
    connect(ui->exportButton, &QPushButton::clicked, this, &TrailWindow::export_asked);
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
    refresh();
}

TrailWindow::~TrailWindow() = default;

void TrailWindow::refresh()
{
    problem_ = model_->refresh() ? QString() : model_->problem();
    show_count();
}

void TrailWindow::apply_filter()
{
    typing_.stop();
    TrailFilter filter{.number = utf8(ui->numberFilter->text()),
                       .user = utf8(ui->userFilter->text()),
                       .action = ui->actionFilter->currentData().toString().toStdString()};
    // Days as the user's clock has them: from the first moment of the one to the first
    // moment after the other.
    if (ui->fromCheck->isChecked())
        filter.from = rfc3339_utc(ui->fromDate->date().startOfDay());
    if (ui->untilCheck->isChecked())
        filter.until = rfc3339_utc(ui->untilDate->date().addDays(1).startOfDay());
    model_->set_filter(filter);
}

void TrailWindow::show_count()
{
    if (!problem_.isEmpty()) {
        ui->countLabel->setText(QStringLiteral("%1 could not be read: %2")
                                    .arg(QLatin1String(audit_log_name), problem_));
        return;
    }
    const int rows = model_->rowCount();
    const QString lines = QLocale().toString(qulonglong(model_->lines()));
    if (model_->filter().empty())
        ui->countLabel->setText(rows == 1 ? QStringLiteral("1 entry")
                                          : QStringLiteral("%1 entries").arg(lines));
    else if (model_->scanning())
        ui->countLabel->setText(
            QStringLiteral("%1 found so far, searching\u2026").arg(QLocale().toString(rows)));
    else
        ui->countLabel->setText(
            QStringLiteral("%1 of %2 entries").arg(QLocale().toString(rows), lines));
}

void TrailWindow::export_asked()
{
    const QString path =
        choose_save_file(this, {QString::fromLatin1(trail_export_caption),
                                QDir::home().filePath(QString::fromLatin1(export_suggested)),
                                QString::fromLatin1(trail_export_filter)});
    if (path.isEmpty())
        return;
    QString problem;
    std::size_t rows = 0;
    {
        const BusyCursor busy;
        // What is exported is what the filter lets through, all of it: the search ends first.
        model_->scan_all();
        problem = write_trail_csv(*model_, path, rows);
    }
    if (!problem.isEmpty()) {
        Messages::notify(
            this, QString::fromLatin1(export_failed).arg(QDir::toNativeSeparators(path), problem),
            QString::fromLatin1(app_title), QMessageBox::Warning);
        return;
    }
    ui->countLabel->setText(
        QStringLiteral("%1 exported to %2")
            .arg(rows == 1 ? QStringLiteral("1 entry")
                           : QStringLiteral("%1 entries").arg(QLocale().toString(qulonglong(rows))),
                 QFileInfo(path).fileName()));
}

void TrailWindow::changeEvent(QEvent *event)
{
    // The changes made in the main window meanwhile come in at the top.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        refresh();
    QWidget::changeEvent(event);
}

void TrailWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

} // namespace durnmoor
