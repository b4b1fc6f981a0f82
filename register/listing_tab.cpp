#include "register/listing_tab.h"

#include "common/list_clicks.h"
#include "common/one_line_boxes.h"
#include "ui_listing_tab.h"

#include <QSignalBlocker>
#include <QStyle>

namespace durnmoor {

ListingTab::ListingTab(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::ListingTab>()), lines_(new InstrumentListModel(this))
{
    ui->setupUi(this);
    keep_to_one_line(this);
    ui->List1->setModel(lines_);
    ui->Command1->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->Command13->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    for (QRadioButton *order : {ui->Option5, ui->Option6})
        connect(order, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                emit order_changed();
        });
    connect(new ListClicks(ui->List1), &ListClicks::clicked, this, &ListingTab::line_clicked);
    connect(ui->List1, &QListView::doubleClicked, this, &ListingTab::line_double_clicked);
    connect(ui->Command1, &QPushButton::clicked, this, &ListingTab::add_clicked);
    connect(ui->Command13, &QPushButton::clicked, this, &ListingTab::edit_clicked);
    connect(ui->Command3, &QPushButton::clicked, this, &ListingTab::delete_clicked);

    const std::pair<QRadioButton *, int> horizons[] = {
        {ui->Option8, 1}, {ui->Option12, 2}, {ui->Option9, 3}, {ui->Option10, 6}};
    for (const auto &[option, months] : horizons)
        connect(option, &QRadioButton::clicked, this,
                [this, months = months] { emit horizon_chosen(months); });
    connect(ui->Option11, &QRadioButton::clicked, this, &ListingTab::every_horizon_chosen);
    connect(ui->Text31, &QLineEdit::returnPressed, this,
            [this] { emit search_entered(ui->Text31->text()); });
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
