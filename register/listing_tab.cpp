#include "register/listing_tab.h"

#include "common/list_clicks.h"
#include "common/one_line_boxes.h"
#include "register/instrument_register.h"
#include "text/screen_text.h"
#include "ui_listing_tab.h"

#include <QSignalBlocker>
#include <QStyle>

namespace durnmoor {

ListingTab::ListingTab(InstrumentRegister &instruments, QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ListingTab>()), lines_(new InstrumentListModel(this))
{
    ui->setupUi(this);
    keep_to_one_line(this);
    ui->List1->setModel(lines_);
    ui->Command1->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->Command13->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    InstrumentRegister *r = &instruments;
    for (QRadioButton *order : {ui->Option5, ui->Option6})
        connect(order, &QRadioButton::toggled, this, [r](bool on) {
            if (on)
                r->reorder();
        });
    connect(new ListClicks(ui->List1), &ListClicks::clicked, r, &InstrumentRegister::show_chosen);
    connect(ui->List1, &QListView::doubleClicked, r, &InstrumentRegister::open_chosen);
    connect(ui->Command1, &QPushButton::clicked, r, &InstrumentRegister::add_new);
    connect(ui->Command13, &QPushButton::clicked, r, &InstrumentRegister::edit_chosen);
    connect(ui->Command3, &QPushButton::clicked, r, &InstrumentRegister::remove_chosen);

    const std::pair<QRadioButton *, int> horizons[] = {
        {ui->Option8, 1}, {ui->Option12, 2}, {ui->Option9, 3}, {ui->Option10, 6}};
    for (const auto &[option, months] : horizons)
        connect(option, &QRadioButton::clicked, this,
                [this, months = months] { emit horizon_chosen(months); });
    connect(ui->Option11, &QRadioButton::clicked, r, &InstrumentRegister::list_all);
    // The box's start text only says what the box is for: it counts as an empty box.
    connect(ui->Text31, &QLineEdit::returnPressed, this, [this, r, start = ui->Text31->text()] {
        const QString typed = ui->Text31->text();
        r->search(typed == start ? QString() : typed);
    });

    connect(r, &InstrumentRegister::list_cleared, this, &ListingTab::clear_entries);
    connect(r, &InstrumentRegister::listed, this, &ListingTab::show_list);
    connect(r, &InstrumentRegister::list_tip_changed, this, &ListingTab::set_list_tip);
    connect(r, &InstrumentRegister::edit_right_applied, this, &ListingTab::set_record_buttons);
    connect(r, &InstrumentRegister::entry_began, this, [this] { set_add_enabled(false); });
    connect(r, &InstrumentRegister::entry_ended, this, [this] { set_add_enabled(true); });
}

ListingTab::~ListingTab() = default;

bool ListingTab::by_number() const
{
    return ui->Option5->isChecked();
}

void ListingTab::show_list(std::shared_ptr<const ProductsData> data, int key_line,
                           std::vector<std::size_t> records)
{
    const QSignalBlocker blocker(ui->List1->selectionModel());
    lines_->show(std::move(data), key_line, std::move(records));
}

void ListingTab::clear_entries()
{
    const QSignalBlocker blocker(ui->List1->selectionModel());
    lines_->clear();
}

std::vector<ListEntry> ListingTab::entries() const
{
    return lines_->entries();
}

int ListingTab::selected_count() const
{
    return static_cast<int>(ui->List1->selectionModel()->selectedIndexes().size());
}

std::vector<ListEntry> ListingTab::selected_entries() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : ui->List1->selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<ListEntry> selected;
    for (const int row : rows)
        if (const std::optional<ListEntry> entry = lines_->entry(row))
            selected.push_back(*entry);
    return selected;
}

std::optional<ListEntry> ListingTab::current_entry() const
{
    const QModelIndexList selected = ui->List1->selectionModel()->selectedIndexes();
    const int row = selected.size() == 1 ? selected.front().row() : ui->List1->currentIndex().row();
    return lines_->entry(row);
}

void ListingTab::set_list_tip(const QString &tip)
{
    ui->List1->setToolTip(tip);
}

void ListingTab::show_due_tip(const product_record &shown, const QString &due)
{
    // Without a due date the tip still names the instrument, but no date it does not have.
    set_list_tip(QStringLiteral("%1 (%2) due %3")
                     .arg(screen_text(shown[instrument_no]), screen_text(shown[description]), due));
}

void ListingTab::set_record_buttons(bool may_edit)
{
    for (QPushButton *button : {ui->Command1, ui->Command3, ui->Command13})
        button->setEnabled(may_edit);
}

void ListingTab::set_add_enabled(bool on)
{
    ui->Command1->setEnabled(on);
}

} // namespace durnmoor
