#include "register/instrument_register.h"

#include "access/access_control.h"
#include "audit/record_changes.h"
#include "common/busy_cursor.h"
#include "common/file_failure.h"
#include "common/message_box.h"
#include "common/save_by_key.h"
#include "register/register_views.h"
#include "register/search_words.h"
#include "text/screen_text.h"

#include <QApplication>

namespace durnmoor {

namespace {

constexpr char multiple_selected_tip[] = "Multiple entries selected";
constexpr char edit_nothing_selected[] =
    "To edit a Product, you must first select one (if available) from the list.";
constexpr char remove_nothing_selected[] =
    "To Remove a Product, you must first select one (if available) from the list.";
constexpr char delete_question[] = "Delete Selected?";
constexpr char delete_title[] = "Durnmoor Tool Removal Alert";

bool equals_ignoring_ascii_case(std::string_view line, std::string_view capitals)
{
    if (line.size() != capitals.size())
        return false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != capitals[i])
            return false;
    }
    return true;
}

// Only blanks are trimmed: the words are matched as typed, and a tab is no blank.
QStringView blanks_trimmed(QStringView text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

} // namespace

InstrumentRegister::InstrumentRegister(const QString &data_folder, QWidget *window,
                                       AccessControl &access, QObject *parent)
    : QObject(parent), data_folder_(data_folder), window_(window), access_(access)
{
}

void InstrumentRegister::attach(const ListChoice *list, const EntryForm *form)
{
    list_ = list;
    form_ = form;
}

int InstrumentRegister::key_line() const
{
    return list_by_number_ ? instrument_no : description;
}

std::vector<ListEntry> InstrumentRegister::listed_entries() const
{
    return list_->entries();
}

bool InstrumentRegister::listed_by_number() const
{
    return list_->by_number();
}

DataFile InstrumentRegister::read() const
{
    return DataFile::read(products_file(data_folder_), kept_.identity());
}

std::shared_ptr<const ProductsData> InstrumentRegister::take(DataFile &file)
{
    return kept_.take(file);
}

std::shared_ptr<const ProductsData> InstrumentRegister::current()
{
    DataFile file = read();
    report_read_failure(window_, file, ReadPurpose::show);
    return kept_.take(file);
}

KeptRewrite<ProductsData> InstrumentRegister::rewrite()
{
    return KeptRewrite<ProductsData>(window_, products_file(data_folder_), kept_);
}

void InstrumentRegister::prepare()
{
    DataFile file = read();
    if (file.ok())
        full_order_.of(kept_.take(file), key_line());
}

void InstrumentRegister::empty_list()
{
    list_by_number_ = list_->by_number();
    emit list_cleared();
}

void InstrumentRegister::fill_list(
    const std::function<bool(const ProductsData &, std::size_t)> &wanted)
{
    const std::shared_ptr<const ProductsData> data = current();
    std::function<bool(std::size_t)> chosen;
    if (wanted)
        chosen = [&](std::size_t i) { return wanted(*data, i); };
    list_some(data, chosen);
}

void InstrumentRegister::list_some(const std::shared_ptr<const ProductsData> &data,
                                   const std::function<bool(std::size_t)> &wanted)
{
    EventPump pump;
    const auto tick = [&pump] { pump.tick(); };
    if (!wanted) {
        emit listed(data, key_line(), full_order_.of(data, key_line(), tick));
        return;
    }
    // Some of the register in the list's order is the kept full order with the rest left
    // out: no sort, when that order is at hand.
    const std::vector<std::size_t> *full = full_order_.kept_for(data, key_line());
    if (!full) {
        emit listed(data, key_line(), list_order(*data, key_line(), wanted, tick));
        return;
    }
    std::vector<std::size_t> records;
    for (const std::size_t record : *full) {
        if (wanted(record))
            records.push_back(record);
        tick();
    }
    emit listed(data, key_line(), std::move(records));
}

void InstrumentRegister::reload()
{
    const BusyCursor busy;
    empty_list();
    clear_entry();
    close_entry();
    fill_list();
}

void InstrumentRegister::list_by_availability()
{
    emit working(QString::fromLatin1(listing_caption));
    const BusyCursor busy;
    empty_list();
    clear_entry();
    const std::string_view wanted =
        list_filter_ == ListFilter::obsolete ? state_obsolete : state_available;
    fill_list([wanted](const ProductsData &data, std::size_t i) {
        return equals_ignoring_ascii_case(data.line(i, availability), wanted);
    });
    emit idle();
    open_entry();
    emit listing_wanted();
}

void InstrumentRegister::list_all()
{
    const BusyCursor busy;
    close_entry();
    reload();
    emit idle();
    open_entry();
    emit listing_wanted();
}

void InstrumentRegister::list_filtered(ListFilter filter)
{
    const BusyCursor busy;
    list_filter_ = filter;
    list_by_availability();
}

void InstrumentRegister::search(const QString &box_text)
{
    const QStringView search_text = blanks_trimmed(box_text);
    if (search_text.isEmpty()) {
        list_all();
        return;
    }
    emit working(QString::fromLatin1(listing_caption));
    const BusyCursor busy;
    RecordSearch search(search_words(search_text));
    empty_list();
    clear_entry();
    const std::shared_ptr<const ProductsData> data = current();
    const std::vector<bool> matched = search.matching(*data);
    list_some(data, [&matched](std::size_t i) { return bool(matched[i]); });
    emit idle();
    open_entry();
    emit listing_wanted();
}

void InstrumentRegister::reorder()
{
    reload();
    close_entry();
}

void InstrumentRegister::show_chosen()
{
    const BusyCursor busy;
    close_entry();
    if (list_->selected_count() > 1) {
        emit list_tip_changed(QString::fromLatin1(multiple_selected_tip));
        return;
    }
    const std::optional<ListEntry> entry = list_->current_entry();
    if (!entry)
        return;
    list_by_number_ = list_->by_number();

    clear_entry();
    close_entry();
    const std::shared_ptr<const ProductsData> data = current();
    const std::size_t found = find_entry(*data, key_line(), *entry);
    if (found != ProductsData::npos)
        emit instrument_shown(data->record(found));
    else
        emit instrument_missing();
}

void InstrumentRegister::open_chosen()
{
    if (access_.may_edit()) {
        open_entry();
        emit entry_began(true);
    }
    emit details_wanted();
}

void InstrumentRegister::add_new()
{
    const BusyCursor busy;
    close_entry();
    clear_entry();
    emit adding_started();
    open_entry();
    emit entry_began(false);
    emit details_wanted();
}

void InstrumentRegister::edit_chosen()
{
    if (list_->selected_count() == 0) {
        Messages::notify(window_, QString::fromLatin1(edit_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Information);
        return;
    }
    open_chosen();
}

std::optional<ProductSave> InstrumentRegister::plan_save(const ProductsData &data,
                                                         const product_record &entered)
{
    ProductSave save{ProductsRewrite(data), {}, {}};
    // The reserved lines stay the record's own.
    const auto replacement = [&](std::size_t i) {
        product_record replaced = entered;
        for (int line = first_reserved_line; line <= product_line_count; ++line)
            replaced[line] = std::string(data.line(i, line));
        return replaced;
    };
    const auto saved = save_by_key(window_, save.rewrite, data, instrument_no,
                                   entered[instrument_no], entered, replacement);
    if (!saved)
        return std::nullopt;
    save.changed = saved->changed;
    const std::vector<std::string> key{screen_text(entered[instrument_no]).toStdString()};
    for (const std::size_t i : saved->replaced)
        save.notes.push_back(
            {audit_action::instrument_change, key,
             changed_fields(product_trail_fields, data.record(i).lines, replacement(i).lines)});
    if (saved->replaced.empty())
        save.notes.push_back(
            {audit_action::instrument_add, key, added_fields(product_trail_fields, entered.lines)});
    return save;
}

product_record InstrumentRegister::entered_record() const
{
    return form_->entered_record();
}

std::string InstrumentRegister::entered_cost() const
{
    return form_->cost_bytes();
}

void InstrumentRegister::saved(KeptRewrite<ProductsData> &rewrite, ProductSave &&save)
{
    const std::shared_ptr<const ProductsData> before = rewrite.before();
    const std::shared_ptr<const ProductsData> written = rewrite.keep(std::move(save.rewrite));
    if (save.changed) {
        const RegisterEdit edit{before, written, save.changed, {}};
        full_order_.carry_over(edit);
        emit rewritten(edit);
    }
    close_entry();
    clear_entry();
    reload();
}

bool InstrumentRegister::save()
{
    const BusyCursor busy;
    const product_record entered = form_->entered_record();
    KeptRewrite<ProductsData> products = rewrite();
    if (!products.read())
        return false;
    std::optional<ProductSave> save = plan_save(*products.before(), entered);
    if (save)
        for (AuditNote &note : save->notes)
            products.note(std::move(note));
    // A failed write keeps what was typed, so the user can try again.
    if (!save || !products.finish(save->rewrite))
        return false;
    const bool added = save->changed == products.before()->size();
    saved(products, std::move(*save));
    emit entry_ended();
    emit done(QStringLiteral("Instrument %1 %2.")
                  .arg(screen_text(entered[instrument_no]), added ? u"added" : u"saved"));
    return true;
}

void InstrumentRegister::cancel()
{
    emit entry_ended();
    close_entry();
    clear_entry();
}

void InstrumentRegister::remove_chosen()
{
    const std::vector<ListEntry> selected = list_->selected_entries();
    if (selected.empty()) {
        Messages::notify(window_, QString::fromLatin1(remove_nothing_selected),
                         QString::fromLatin1(app_title), QMessageBox::Information);
        return;
    }
    if (!Messages::confirm(window_, QString::fromLatin1(delete_question),
                           QString::fromLatin1(delete_title), QMessageBox::Information))
        return;
    const BusyCursor busy;
    close_entry();
    const int line = list_->by_number() ? instrument_no : description;

    // Exactly the records whose lines are selected go, all in one rewrite: a large register
    // is written once instead of once per entry.
    KeptRewrite<ProductsData> products = rewrite();
    if (products.read()) {
        const std::shared_ptr<const ProductsData> before = products.before();
        const std::vector<bool> chosen = records_of(*before, line, selected);
        ProductsRewrite kept_records(*before);
        for (std::size_t i = 0; i < before->size(); ++i) {
            if (!chosen[i]) {
                kept_records.copy(i);
                continue;
            }
            const product_record gone = before->record(i);
            products.note({audit_action::instrument_delete,
                           {screen_text(gone[instrument_no]).toStdString()},
                           removed_fields(product_trail_fields, gone.lines)});
        }
        if (products.finish(kept_records)) {
            const RegisterEdit edit{before, products.keep(std::move(kept_records)), std::nullopt,
                                    chosen};
            full_order_.carry_over(edit);
            emit rewritten(edit);
            const auto gone = std::count(chosen.begin(), chosen.end(), true);
            emit done(gone == 1 ? QStringLiteral("1 instrument deleted.")
                                : QStringLiteral("%1 instruments deleted.").arg(gone));
        }
    }

    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    reload();
    open_entry();
}

void InstrumentRegister::open_entry()
{
    emit entry_opened(access_.may_edit());
    apply_edit_right();
}

void InstrumentRegister::close_entry()
{
    emit entry_closed();
}

void InstrumentRegister::clear_entry()
{
    emit entry_cleared();
}

void InstrumentRegister::apply_edit_right()
{
    emit edit_right_applied(access_.may_edit());
}

} // namespace durnmoor
