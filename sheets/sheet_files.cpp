#include "sheets/sheet_files.h"

#include "text/csv_row.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

namespace durnmoor {

namespace {

constexpr double narrowest_column = 8;
constexpr double widest_column = 80;

// A longer field cannot go into a workbook whole.
constexpr char cell_too_long[] =
    "A cell would hold more than 32,767 characters, the most a workbook cell holds; export "
    "to CSV to keep it whole.";

std::vector<std::string> cell_texts(const std::vector<SheetCell> &row)
{
    std::vector<std::string> texts;
    texts.reserve(row.size());
    for (const SheetCell &cell : row)
        texts.push_back(cell.text);
    return texts;
}

// Writes bytes whole under a temporary name; the name is taken only by commit().
std::unique_ptr<QSaveFile> prepared(const QString &path, const std::string &bytes, QString &reason)
{
    auto file = std::make_unique<QSaveFile>(path);
    if (!file->open(QIODevice::WriteOnly) ||
        file->write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
        reason = file->errorString();
        return nullptr;
    }
    return file;
}

ExportOutcome failed(ExportOutcome outcome, const QString &path, const QString &reason)
{
    outcome.failed_file = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    outcome.reason = reason;
    return outcome;
}

// Characters of a cell's longest line, for the width of its column.
double shown_width(const SheetCell &cell)
{
    if (cell.kind == SheetCell::Kind::date)
        return 10;
    std::size_t widest = 0;
    std::size_t line = 0;
    for (const char c : cell.text) {
        if (c == '\n') {
            widest = std::max(widest, line);
            line = 0;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++line; // one per UTF-8 character, not per byte
        }
    }
    return static_cast<double>(std::max(widest, line));
}

class Workbook {
public:
    Workbook(const QString &file, const QString &scratch)
        : scratch_(QFile::encodeName(scratch).toStdString())
    {
        lxw_workbook_options options{};
        options.tmpdir = scratch_.data();
        book_ = workbook_new_opt(QFile::encodeName(file).constData(), &options);
        if (!book_)
            return;
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        date_ = workbook_add_format(book_);
        format_set_num_format(date_, "dd/mm/yyyy");
        money_ = workbook_add_format(book_);
        format_set_num_format(money_, "0.00##");
        wrapped_ = workbook_add_format(book_);
        format_set_text_wrap(wrapped_);
    }
    ~Workbook()
    {
        if (book_)
            workbook_close(book_);
    }

    bool made() const { return book_ != nullptr; }

    // An empty string when written, else why not.
    QString add(const Sheet &sheet)
    {
        lxw_worksheet *page = workbook_add_worksheet(book_, sheet.name.c_str());
        if (!page)
            return QStringLiteral("The sheet %1 could not be added.")
                .arg(QString::fromStdString(sheet.name));
        std::vector<double> widths(sheet.header.size(), narrowest_column);
        for (std::size_t c = 0; c < sheet.header.size(); ++c) {
            worksheet_write_string(page, 0, static_cast<lxw_col_t>(c), sheet.header[c].c_str(),
                                   bold_);
            widths[c] = std::max(widths[c], shown_width({.text = sheet.header[c]}));
        }
        lxw_row_t r = 1;
        for (const std::vector<SheetCell> &row : sheet.rows) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                const QString failure = write(page, r, static_cast<lxw_col_t>(c), row[c]);
                if (!failure.isEmpty())
                    return failure;
                if (c < widths.size())
                    widths[c] = std::max(widths[c], shown_width(row[c]));
            }
            ++r;
        }
        worksheet_freeze_panes(page, 1, 0);
        for (std::size_t c = 0; c < widths.size(); ++c)
            worksheet_set_column(page, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                                 std::min(widths[c] + 1, widest_column), nullptr);
        return {};
    }

    // Writes the file; an empty string when written, else why not.
    QString close()
    {
        const lxw_error error = workbook_close(book_);
        book_ = nullptr;
        if (error != LXW_NO_ERROR)
            return QString::fromUtf8(lxw_strerror(error));
        return {};
    }

private:
    QString write(lxw_worksheet *page, lxw_row_t r, lxw_col_t c, const SheetCell &cell)
    {
        lxw_error error = LXW_NO_ERROR;
        switch (cell.kind) {
        case SheetCell::Kind::date: {
            lxw_datetime when{cell.date.year(), cell.date.month(), cell.date.day(), 0, 0, 0};
            error = worksheet_write_datetime(page, r, c, &when, date_);
            break;
        }
        case SheetCell::Kind::number:
            error = worksheet_write_number(page, r, c, cell.number, money_);
            break;
        case SheetCell::Kind::text:
            if (cell.text.empty())
                return {}; // a blank cell: nothing to store
            error = worksheet_write_string(page, r, c, cell.text.c_str(),
                                           cell.text.find('\n') == std::string::npos ? nullptr
                                                                                     : wrapped_);
            break;
        }
        if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
            return QString::fromLatin1(cell_too_long);
        if (error != LXW_NO_ERROR)
            return QString::fromUtf8(lxw_strerror(error));
        return {};
    }

    std::string scratch_;
    lxw_workbook *book_ = nullptr;
    lxw_format *bold_ = nullptr;
    lxw_format *date_ = nullptr;
    lxw_format *money_ = nullptr;
    lxw_format *wrapped_ = nullptr;
};

} // namespace

std::string sheet_csv(const Sheet &sheet)
{
    std::string text(utf8_byte_order_mark);
    append_csv_row(text, sheet.header);
    for (const std::vector<SheetCell> &row : sheet.rows)
        append_csv_row(text, cell_texts(row));
    return text;
}

QString history_csv_path(const QString &path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(stem + QStringLiteral("-history") +
                               (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
}

ExportOutcome write_csv_files(const ListedSheets &sheets, const QString &path)
{
    ExportOutcome outcome;
    const QString second_path = history_csv_path(path);
    QString reason;
    // Both are written before either takes its name: a file that cannot be written at all
    // then leaves neither behind.
    const auto first = prepared(path, sheet_csv(sheets.instruments), reason);
    if (!first)
        return failed(outcome, path, reason);
    const auto second = prepared(second_path, sheet_csv(sheets.history), reason);
    if (!second)
        return failed(outcome, second_path, reason);
    if (!first->commit())
        return failed(outcome, path, first->errorString());
    outcome.written.push_back(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    if (!second->commit())
        return failed(outcome, second_path, second->errorString());
    outcome.written.push_back(QDir::toNativeSeparators(QFileInfo(second_path).absoluteFilePath()));
    return outcome;
}

ExportOutcome write_workbook(const ListedSheets &sheets, const QString &path)
{
    ExportOutcome outcome;
    // The library writes to a name of its own choosing; it writes in a private folder, and
    // the finished workbook goes to its place whole.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return failed(outcome, path, scratch.errorString());
    const QString built = scratch.filePath(QStringLiteral("book.xlsx"));
    QString reason;
    {
        Workbook book(built, scratch.path());
        if (!book.made())
            return failed(outcome, path, QStringLiteral("The workbook could not be started."));
        for (const Sheet *sheet : {&sheets.instruments, &sheets.history}) {
            reason = book.add(*sheet);
            if (!reason.isEmpty())
                return failed(outcome, path, reason);
        }
        reason = book.close();
        if (!reason.isEmpty())
            return failed(outcome, path, reason);
    }
    QFile made(built);
    if (!made.open(QIODevice::ReadOnly))
        return failed(outcome, path, made.errorString());
    const QByteArray bytes = made.readAll();
    const auto file = prepared(path, bytes.toStdString(), reason);
    if (!file)
        return failed(outcome, path, reason);
    if (!file->commit())
        return failed(outcome, path, file->errorString());
    outcome.written.push_back(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    return outcome;
}

} // namespace durnmoor
