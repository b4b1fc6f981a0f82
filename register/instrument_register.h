#pragma once

#include "common/file_rewrite.h"
#include "register/list_entries.h"
#include "register/products_file.h"
#include "register/register_edit.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace durnmoor {

class AccessControl;
class EntryForm;
class ListChoice;

// The working caption of every operation that fills the instrument list.
inline constexpr char listing_caption[] = "Listing...";

enum class ListFilter { none, obsolete = 1, available = 2 };

// The register's new contents with an instrument saved as "&Save" saves it.
struct ProductSave {
    ProductsRewrite rewrite;
    std::optional<std::size_t> changed; // the one record that changes, when only one does
    std::vector<AuditNote> notes;       // for the audit trail: the add, or each change
};

// The instrument register: products.dat kept parsed while it does not change, the orders it
// is listed in, and every operation on it: listing, showing, adding, editing, saving,
// cancelling, deleting. The windows call it and show what its signals say; it reads the
// user's choices through the list and the entry form it is given.
class InstrumentRegister : public QObject {
    Q_OBJECT

public:
    InstrumentRegister(const QString &data_folder, QWidget *window, AccessControl &access,
                       QObject *parent = nullptr);

    void attach(const ListChoice *list, const EntryForm *form);
    AccessControl &access() { return access_; }
    const QString &data_folder() const { return data_folder_; }

    // products.dat read and its full list sorted ahead of the first listing, without a word:
    // a file that cannot be read is left for the listing to report.
    void prepare();
    // products.dat as it is now, for showing; a file that cannot be read is told and shows no
    // records.
    std::shared_ptr<const ProductsData> current();
    // The same in two steps, for a caller that tells a failed read itself.
    DataFile read() const;
    std::shared_ptr<const ProductsData> take(DataFile &file);
    // The rewrite of products.dat, for a change the register makes together with another file.
    KeptRewrite<ProductsData> rewrite();

    // The record line the list shows: the number, or the description.
    int key_line() const;
    std::vector<ListEntry> listed_entries() const;
    bool listed_by_number() const;

    // The list emptied, in the order chosen now.
    void empty_list();
    // Lists the records of data wanted, in the list's order.
    void list_some(const std::shared_ptr<const ProductsData> &data,
                   const std::function<bool(std::size_t)> &wanted);
    // The full list, fields blank and closed; no caption change.
    void reload();
    // "Full Listing", "List Available Instruments", "List Obsolete Instruments".
    void list_all();
    void list_filtered(ListFilter filter);
    // Enter in the search box: the instruments whose records hold every word of the text
    // (the full list when it holds nothing but blanks).
    void search(const QString &box_text);
    // "List by Instrument Number" or "... Description" chosen.
    void reorder();

    // A click in the list: the clicked instrument shown.
    void show_chosen();
    // A double-click: the shown instrument opened for editing, under the edit right.
    void open_chosen();
    void add_new();       // "&Add New Product"
    void edit_chosen();   // "&Edit Product"
    bool save();          // "&Save"; true when the record was written
    void cancel();        // "&Cancel"
    void remove_chosen(); // "&Delete Selected Products"

    // Every record with the instrument's number replaced in its place, each after the
    // overwrite question, or the instrument appended; nullopt when a question was answered No.
    std::optional<ProductSave> plan_save(const ProductsData &data, const product_record &entered);
    // The instrument as the entry form holds it, and its cost as a calibration stores it.
    product_record entered_record() const;
    std::string entered_cost() const;
    // Once the register holds what a save wrote: what is kept follows, and the entry closes
    // on the list read again.
    void saved(KeptRewrite<ProductsData> &rewrite, ProductSave &&save);

    // The entry area of every tab: open, closed, blank; the buttons by the edit right.
    void open_entry();
    void close_entry();
    void clear_entry();
    void apply_edit_right();

    void show_working(const QString &caption) { emit working(caption); }
    void show_idle() { emit idle(); }

signals:
    void working(const QString &caption);
    void idle();
    void listing_wanted();
    void details_wanted();

    void list_cleared();
    void listed(const std::shared_ptr<const ProductsData> &data, int key_line,
                const std::vector<std::size_t> &records);
    void list_tip_changed(const QString &tip);

    void instrument_shown(const product_record &record);
    void instrument_missing(); // the line clicked leads to no record
    void adding_started();
    // An instrument is being entered or edited: existing is true for one opened from the list.
    void entry_began(bool existing);
    // The entry ended by Save or Cancel: a new one may begin.
    void entry_ended();
    // What a completed change did, in a few words for the status bar.
    void done(const QString &news);

    void entry_opened(bool may_edit);
    void entry_closed();
    void entry_cleared();
    void edit_right_applied(bool may_edit);

    // This program rewrote the register: what is kept of it may follow the edit.
    void rewritten(const RegisterEdit &edit);

private:
    void list_by_availability();
    void fill_list(const std::function<bool(const ProductsData &, std::size_t)> &wanted = {});

    QString data_folder_;
    QWidget *window_;
    AccessControl &access_;
    const ListChoice *list_ = nullptr;
    const EntryForm *form_ = nullptr;
    KeptFile<ProductsData> kept_;
    FullOrder full_order_;
    bool list_by_number_ = true;
    ListFilter list_filter_ = ListFilter::none; // no value yet counts as "available"
};

} // namespace durnmoor
