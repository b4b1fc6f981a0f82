#include "contacts/address_book_tab.h"

#include "common/enter_chain.h"
#include "common/one_line_boxes.h"
#include "ui_address_book_tab.h"

#include <QByteArrayView>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>

namespace durnmoor {

namespace {

QString shown(std::string_view bytes)
{
    return QString::fromLocal8Bit(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string trimmed(const std::string &text)
{
    const auto begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return {};
    return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

} // namespace

AddressBookTab::AddressBookTab(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::AddressBookTab>())
{
    ui->setupUi(this);
    keep_to_one_line(this);
    const QList<QLineEdit *> fields = boxes();
    auto *chain = new EnterChain(this);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        fields[i]->setMaxLength(std::numeric_limits<int>::max());
        chain->link(fields[i],
                    i + 1 < fields.size() ? static_cast<QWidget *>(fields[i + 1]) : ui->Command5);
    }
    connect(ui->Combo7, &QComboBox::activated, this, [this](int index) {
        emit company_picked(ui->Combo7->itemText(index),
                            ui->Combo7->itemData(index).toByteArray().toStdString());
    });
    connect(ui->Command12, &QPushButton::clicked, this, &AddressBookTab::edit_clicked);
    connect(ui->Command5, &QPushButton::clicked, this, &AddressBookTab::save_clicked);
    connect(ui->Command6, &QPushButton::clicked, this, &AddressBookTab::remove_clicked);
    connect(ui->Command8, &QPushButton::clicked, this, &AddressBookTab::cancel_clicked);
    connect(ui->Command7, &QPushButton::clicked, this, &AddressBookTab::copy_clicked);
}

AddressBookTab::~AddressBookTab() = default;

QList<QLineEdit *> AddressBookTab::boxes() const
{
    return {ui->Text7,  ui->Text8,  ui->Text9,  ui->Text10, ui->Text12, ui->Text30,
            ui->Text13, ui->Text14, ui->Text15, ui->Text16, ui->Text17, ui->Text18};
}

void AddressBookTab::show_companies(const std::vector<std::string> &names)
{
    std::vector<std::pair<QString, std::string>> entries;
    for (const std::string &name : names)
        entries.emplace_back(shown(name), name);
    entries.emplace_back(QString::fromLatin1(add_new_contact), add_new_contact);
    std::stable_sort(entries.begin(), entries.end(), [](const auto &a, const auto &b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    const QSignalBlocker blocker(ui->Combo7);
    ui->Combo7->clear();
    for (const auto &[text, bytes] : entries)
        ui->Combo7->addItem(text, QByteArray::fromStdString(bytes));
    ui->Combo7->setCurrentIndex(-1);
}

void AddressBookTab::clear_companies()
{
    const QSignalBlocker blocker(ui->Combo7);
    ui->Combo7->clear();
}

void AddressBookTab::clear_choice()
{
    ui->Combo7->setCurrentIndex(-1);
}

void AddressBookTab::show_contact(const contact_record &record)
{
    loaded_ = record;
    const QList<QLineEdit *> fields = boxes();
    for (int line = 1; line <= contact_line_count; ++line)
        fields[line - 1]->setText(shown(record[line]));
}

contact_record AddressBookTab::entered_contact() const
{
    contact_record record;
    const QList<QLineEdit *> fields = boxes();
    for (int line = 1; line <= contact_line_count; ++line) {
        const QString text = fields[line - 1]->text();
        record[line] = trimmed(text == shown(loaded_[line]) ? loaded_[line]
                                                            : text.toLocal8Bit().toStdString());
    }
    return record;
}

std::array<QString, contact_line_count> AddressBookTab::shown_fields() const
{
    std::array<QString, contact_line_count> texts;
    const QList<QLineEdit *> fields = boxes();
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = fields[static_cast<qsizetype>(i)]->text();
    return texts;
}

QString AddressBookTab::company_text() const
{
    QString text = ui->Text7->text();
    while (text.startsWith(u' '))
        text.remove(0, 1);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

void AddressBookTab::clear_fields()
{
    loaded_ = {};
    for (QLineEdit *box : boxes())
        box->clear();
}

void AddressBookTab::set_fields_writable(bool on)
{
    for (QLineEdit *box : boxes())
        box->setReadOnly(!on);
    ui->Command5->setEnabled(on);
}

void AddressBookTab::focus_company()
{
    ui->Text7->setFocus();
}

void AddressBookTab::set_record_buttons(bool may_edit)
{
    for (QPushButton *button : {ui->Command12, ui->Command6, ui->Command5, ui->Command8})
        button->setEnabled(may_edit);
}

} // namespace durnmoor
