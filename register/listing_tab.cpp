#include "register/listing_tab.h"

#include "app/list_clicks.h"
#include "ui_listing_tab.h"

#include <QSignalBlocker>
#include <QStyle>

namespace durnmoor {

ListingTab::ListingTab(QWidget *parent) : QWidget(parent), ui(std::make_unique<Ui::ListingTab>())
{
    ui->setupUi(this);
    ui->Command1->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    ui->Command13->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    for (QRadioButton *order : {ui->Option5, ui->Option6})
        connect(order, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                emit order_changed();
        });
    connect(new ListClicks(ui->List1), &ListClicks::clicked, this, &ListingTab::line_clicked);
    connect(ui->List1, &QListWidget::itemDoubleClicked, this, &ListingTab::line_double_clicked);
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

void ListingTab::show_entries(std::vector<ListEntry> entries)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(entries.size()));
    for (const ListEntry &entry : entries)
        lines.append(entry.text);
    entries_ = std::move(entries);
    // One insertion of the sorted lines: the list is not redrawn line by line.
    QListWidget *list = ui->List1;
    const QSignalBlocker blocker(list);
    list->setUpdatesEnabled(false);
    list->clear();
    list->addItems(lines);
    list->setUpdatesEnabled(true);
}

void ListingTab::clear_entries()
{
    const QSignalBlocker blocker(ui->List1);
    ui->List1->clear();
    entries_.clear();
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
        if (row >= 0 && static_cast<std::size_t>(row) < entries_.size())
            selected.push_back(entries_[static_cast<std::size_t>(row)]);
    return selected;
}

std::optional<ListEntry> ListingTab::current_entry() const
{
    const QModelIndexList selected = ui->List1->selectionModel()->selectedIndexes();
    const int row = selected.size() == 1 ? selected.front().row() : ui->List1->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= entries_.size())
        return std::nullopt;
    return entries_[static_cast<std::size_t>(row)];
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
