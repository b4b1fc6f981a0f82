#include "contacts/address_book_tab.h"

#include "access/access_control.h"
#include "common/busy_cursor.h"
#include "common/enter_chain.h"
#include "common/message_box.h"
#include "common/one_line_boxes.h"
#include "contacts/address_book.h"
#include "text/screen_text.h"
#include "ui_address_book_tab.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalBlocker>

#include <algorithm>
#include <limits>

namespace durnmoor {

namespace {

constexpr char nothing_chosen[] = "You cannot remove a contact, without selecting one first.";
constexpr char no_company_name[] = "No Company Name specified.";

void tell(QWidget *parent, const char *text, QMessageBox::Icon icon)
{
    Messages::notify(parent, QString::fromLatin1(text), QString::fromLatin1(app_title), icon);
}

} // namespace

AddressBookTab::AddressBookTab(AddressBook &book, const AccessControl &access, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::AddressBookTab>()), book_(book), access_(access)
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
        company_picked(ui->Combo7->itemText(index),
                       ui->Combo7->itemData(index).toByteArray().toStdString());
    });
    connect(ui->Command12, &QPushButton::clicked, this, &AddressBookTab::edit_contact);
    connect(ui->Command5, &QPushButton::clicked, this, &AddressBookTab::save_contact);
    connect(ui->Command6, &QPushButton::clicked, this, &AddressBookTab::remove_contact);
    connect(ui->Command8, &QPushButton::clicked, this, &AddressBookTab::cancel_contact);
    connect(ui->Command7, &QPushButton::clicked, this, [this] {
        const BusyCursor busy;
        QApplication::clipboard()->setText(clipboard_text(shown_fields()));
    });
}

void AddressBookTab::load_companies()
{
    show_companies(book_.companies());
}

void AddressBookTab::reload()
{
    clear_fields();
    clear_companies();
    load_companies();
    set_fields_writable(false);
}

void AddressBookTab::company_picked(const QString &text, const std::string &name)
{
    // The entry is known by its text: even a company of that name starts a new contact.
    if (text == QLatin1String(add_new_contact)) {
        if (!access_.may_edit())
            return;
        clear_fields();
        clear_choice();
        set_fields_writable(true);
        focus_company();
        return;
    }
    const BusyCursor busy;
    if (const std::optional<contact_record> found = book_.find(name))
        show_contact(*found);
    set_fields_writable(false);
}

void AddressBookTab::edit_contact()
{
    if (company_text().isEmpty()) {
        tell(window(), nothing_chosen, QMessageBox::Information);
        return;
    }
    set_fields_writable(true);
}

void AddressBookTab::save_contact()
{
    if (company_text().isEmpty()) {
        tell(window(), no_company_name, QMessageBox::Critical);
        return;
    }
    const BusyCursor busy;
    switch (book_.save(entered_contact())) {
    case AddressBook::Saved::written:
        clear_fields();
        clear_companies();
        load_companies();
        ui->Text7->setFocus(); // the boxes stay open for the next company
        break;
    case AddressBook::Saved::declined:
        load_companies();
        break;
    case AddressBook::Saved::failed:
        break;
    }
}

void AddressBookTab::remove_contact()
{
    const QString shown = company_text();
    if (shown.isEmpty()) {
        tell(window(), nothing_chosen, QMessageBox::Information);
        return;
    }
    switch (book_.remove(entered_contact()[company_name], shown)) {
    case AddressBook::Removed::unread:
        return;
    case AddressBook::Removed::removed:
        clear_fields();
        clear_companies();
        break;
    case AddressBook::Removed::declined:
    case AddressBook::Removed::failed:
        break;
    }
    load_companies();
    set_fields_writable(false);
}

void AddressBookTab::cancel_contact()
{
    const BusyCursor busy;
    clear_fields();
    clear_companies();
    load_companies();
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
        entries.emplace_back(screen_text(name), name);
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
        fields[line - 1]->setText(screen_text(record[line]));
}

contact_record AddressBookTab::entered_contact() const
{
    contact_record record;
    const QList<QLineEdit *> fields = boxes();
    for (int line = 1; line <= contact_line_count; ++line) {
        const QString text = fields[line - 1]->text();
        record[line] = without_outer_blanks(
            text == screen_text(loaded_[line]) ? loaded_[line] : text.toLocal8Bit().toStdString());
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
