#include "sheets/import_window.h"

#include "common/busy_cursor.h"
#include "common/message_box.h"
#include "register/instrument_register.h"
#include "text/screen_text.h"

#include "ui_import_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableWidgetItem>

namespace durnmoor {

ImportWindow::ImportWindow(InstrumentRegister &instruments, std::function<bool()> may_import,
                           QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::ImportWindow>()), instruments_(instruments),
      may_import_(std::move(may_import))
{
    ui->setupUi(this);
    QStringList fields;
    for (const char *name : product_field_names)
        fields << QString::fromLatin1(name);
    ui->previewTable->setColumnCount(static_cast<int>(fields.size()));
    ui->previewTable->setHorizontalHeaderLabels(fields);
    connect(ui->importButton, &QPushButton::clicked, this, &ImportWindow::import_rows);
    connect(ui->cancelButton, &QPushButton::clicked, this, &QDialog::close);
}

ImportWindow::~ImportWindow() = default;

bool ImportWindow::open(const QString &path)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        Messages::notify(parentWidget(),
                         QString::fromLatin1(import_not_read)
                             .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                                  file.errorString()),
                         QString::fromLatin1(app_title), QMessageBox::Warning);
        return false;
    }
    const BusyCursor busy;
    ui->fileLabel->setText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    table_ = read_csv(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    columns_ = match_columns(table_.header);
    show_columns();
    replan();
    return true;
}

void ImportWindow::show_columns()
{
    QStringList fields{QString::fromLatin1(import_not_mapped)};
    for (const char *name : product_field_names)
        fields << QString::fromLatin1(name);
    ui->columnsTable->setRowCount(static_cast<int>(table_.header.size()));
    for (std::size_t c = 0; c < table_.header.size(); ++c) {
        const int row = static_cast<int>(c);
        ui->columnsTable->setItem(row, 0, new QTableWidgetItem(screen_text(table_.header[c])));
        auto *field = new QComboBox;
        field->setObjectName(QStringLiteral("field%1").arg(row + 1));
        field->addItems(fields);
        field->setCurrentIndex(columns_[c]);
        connect(field, &QComboBox::currentIndexChanged, this,
                [this, row](int chosen) { column_chosen(row, chosen); });
        ui->columnsTable->setCellWidget(row, 1, field);
    }
    ui->columnsTable->resizeColumnsToContents();
}

void ImportWindow::column_chosen(int column, int field)
{
    // A field filled by one column only: the one chosen last takes it from any other.
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        if (field > 0 && static_cast<int>(c) != column && columns_[c] == field) {
            columns_[c] = 0;
            auto *other = static_cast<QComboBox *>(ui->columnsTable->cellWidget(int(c), 1));
            const QSignalBlocker quiet(other);
            other->setCurrentIndex(0);
        }
    }
    columns_[static_cast<std::size_t>(column)] = field;
    replan();
}

void ImportWindow::replan()
{
    const BusyCursor busy;
    plan_ = plan_import(table_, columns_, *instruments_.current());
    const int shown = std::min<int>(import_preview_rows, static_cast<int>(plan_.rows.size()));
    ui->previewTable->setRowCount(shown);
    for (int r = 0; r < shown; ++r)
        for (int f = 0; f < import_field_count; ++f)
            ui->previewTable->setItem(r, f,
                                      new QTableWidgetItem(screen_text(plan_.rows[r].fields[f])));
    ui->refusedList->clear();
    for (const RefusedRow &refused : plan_.refused)
        ui->refusedList->addItem(
            QString::fromLatin1(import_refused_row).arg(refused.row).arg(refused.reason));
    ui->summaryLabel->setText(QString::fromLatin1(import_summary)
                                  .arg(plan_.added)
                                  .arg(plan_.replaced)
                                  .arg(plan_.refused.size()));
    ui->importButton->setEnabled(!plan_.rows.empty());
}

void ImportWindow::import_rows()
{
    if (!may_import_()) {
        close();
        return;
    }
    if (plan_.replaced > 0 &&
        !Messages::confirm(this, QString::fromLatin1(import_replace_question).arg(plan_.replaced),
                           QString::fromLatin1(app_title), QMessageBox::Question))
        return;
    std::size_t added = 0;
    std::size_t replaced = 0;
    {
        const BusyCursor busy;
        KeptRewrite<ProductsData> products = instruments_.rewrite();
        if (!products.read())
            return;
        // Planned again over what the register holds now, which the rewrite has locked.
        const ImportPlan plan = plan_import(table_, columns_, *products.before());
        ImportRewrite written = import_rewrite(*products.before(), plan, columns_);
        for (AuditNote &note : written.notes)
            products.note(std::move(note));
        if (!products.finish(written.rewrite))
            return; // told; the register is as it was
        products.keep(std::move(written.rewrite));
        added = plan.added;
        replaced = plan.replaced;
    }
    emit imported();
    Messages::notify(this,
                     added == 1 ? QString::fromLatin1(import_done_one).arg(replaced)
                                : QString::fromLatin1(import_done).arg(added).arg(replaced),
                     QString::fromLatin1(app_title), QMessageBox::Information);
    close();
}

} // namespace durnmoor
