#include "support/window_fixture.h"

#include <cerrno>

namespace durnmoor::test {

WindowFixture::WindowFixture(const std::string &products, const std::string &history,
                             const std::function<void(TestEnv &)> &prepare)
{
    if (!products.empty())
        env.write_file(QStringLiteral("products.dat"), products);
    if (!history.empty())
        env.write_file(QStringLiteral("history.dat"), history);
    if (prepare)
        prepare(env);
    window = std::make_unique<MainWindow>(AppContext{env.dir(), &env.settings()});
    window->load_form();
    window->apply_start_rights();
    window->show();
    QApplication::processEvents();
}

WindowFixture::~WindowFixture()
{
    window.reset();
    set_file_fault(nullptr);
}

void WindowFixture::run(const QString &steps)
{
    for (const QString &step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        const QString name = step.section('=', 0, 0), text = step.section('=', 1);
        const bool history = name.startsWith(QLatin1String("history "));
        const QString what = history ? name.mid(8) : name;
        const char *list_name = history ? "List2" : "List1";
        if (step == "Yes" || step == "No")
            Messages::queue_answer(step == "Yes" ? QMessageBox::Yes : QMessageBox::No);
        else if (what == "row" || what == "ctrl-row")
            click_list_row(list_name, text.toInt(),
                           what == "row" ? Qt::NoModifier : Qt::ControlModifier);
        else if (what == "double-click")
            double_click_list_row(list_name, text.toInt());
        else if (name == "tab")
            show_tab(text.toInt());
        else if (step == "no edit right") {
            window->state().set_right(3, QStringLiteral("0"));
            trigger("fulllist");
        } else if (step.startsWith(QLatin1String("block ")))
            // a directory cannot be opened for writing, even by root
            QVERIFY(QDir(env.dir()).mkdir(step.mid(6)));
        else if (step.startsWith(QLatin1String("unreadable "))) {
            const QString file = step.mid(11);
            set_file_fault([file](FileStep at, const QString &name) {
                return at == FileStep::open && name == file ? EACCES : 0;
            });
        } else if (step.startsWith(QLatin1String("paste ")))
            control<QLineEdit>(qPrintable(name.mid(6)))->setText(text);
        else if (name.startsWith(QLatin1String("Combo")) && step.contains('='))
            QVERIFY2(pick(qPrintable(name), text), qPrintable(step));
        else if (name == "Text26")
            type_text("Text26", text);
        else if (step.contains('='))
            type_over(qPrintable(name), text);
        else if (control<QAction>(qPrintable(step)))
            trigger(qPrintable(step));
        else if (control<QAbstractButton>(qPrintable(step)))
            click_button(qPrintable(step));
        else
            QFAIL(qPrintable("No such step or control: " + step));
    }
}

QString WindowFixture::form(std::initializer_list<const char *> controls) const
{
    const char *tabs[] = {"listing", "address book", "details", "history"};
    return (QStringList{tabs[current_tab()] + QString(':'),
                        text_of("Text1") + '|' + text_of("Text2") + '|'} +
            enabled_among(controls))
        .join(' ');
}

void WindowFixture::click_button(const char *name)
{
    auto *button = control<QAbstractButton>(name);
    if (!button || !button->isEnabled())
        return;
    // A stretched option button reacts only over its mark and caption, not its centre.
    QStyleOptionButton option;
    option.initFrom(button);
    const QPoint at = button->inherits("QRadioButton")
                          ? button->style()
                                ->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button)
                                .center()
                          : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void WindowFixture::trigger(const char *action)
{
    auto *item = control<QAction>(action);
    if (item && item->isEnabled())
        item->trigger();
}

void WindowFixture::show_tab(int index)
{
    QTabBar *bar = control<QTabWidget>("SSTab1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    QApplication::processEvents();
}

void WindowFixture::click_list_row(const char *list, int row, Qt::KeyboardModifiers modifiers)
{
    auto *l = control<QListView>(list);
    const QModelIndex item = l->model()->index(row, 0);
    QVERIFY2(item.isValid(), qPrintable(QStringLiteral("%1 has no row %2").arg(list).arg(row)));
    l->scrollTo(item);
    QTest::mouseClick(l->viewport(), Qt::LeftButton, modifiers, l->visualRect(item).center());
}

void WindowFixture::double_click_list_row(const char *list, int row)
{
    click_list_row(list, row);
    auto *l = control<QListView>(list);
    if (const QModelIndex item = l->model()->index(row, 0); item.isValid())
        QTest::mouseDClick(l->viewport(), Qt::LeftButton, Qt::NoModifier,
                           l->visualRect(item).center());
}

QStringList WindowFixture::lines_of(const char *list) const
{
    const auto *l = control<QListView>(list);
    QStringList lines;
    for (int i = 0; i < l->model()->rowCount(); ++i)
        lines << l->model()->index(i, 0).data().toString();
    return lines;
}

void WindowFixture::type_text(const char *box, const QString &text)
{
    auto *edit = control<QPlainTextEdit>(box);
    QTest::mouseClick(edit->viewport(), Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClicks(edit, lines[i]);
    }
}

void WindowFixture::type_over(const char *box, const QString &text)
{
    auto *edit = control<QLineEdit>(box);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QStringList WindowFixture::enabled_among(std::initializer_list<const char *> names) const
{
    QStringList enabled;
    for (const char *name : names)
        if (control<QWidget>(name)->isEnabled())
            enabled << QString::fromLatin1(name);
    return enabled;
}

bool WindowFixture::pick(const char *combo, const QString &text)
{
    auto *box = control<QComboBox>(combo);
    const int index = box->findText(text, Qt::MatchExactly);
    if (index < 0 || !box->isEnabled())
        return false;
    box->setCurrentIndex(index);
    emit box->activated(index);
    return true;
}

QStringList shown_messages()
{
    const QMetaEnum icons = QMetaEnum::fromType<QMessageBox::Icon>();
    const QMetaEnum buttons = QMetaEnum::fromType<QMessageBox::StandardButtons>();
    QStringList lines;
    for (const MessageRequest &shown : Messages::shown()) {
        QStringList names; // each button by its first name: Ok, never FirstButton
        for (unsigned bit = 1; bit != 0; bit <<= 1)
            if (unsigned(shown.buttons) & bit)
                names << QLatin1String(buttons.valueToKey(int(bit)));
        lines << QStringLiteral("%1 \"%2\": %3 (%4, default %5)")
                     .arg(QLatin1String(icons.valueToKey(shown.icon)), shown.title, shown.text,
                          names.join('|'), QLatin1String(buttons.valueToKey(shown.default_button)));
    }
    return lines;
}

QWidgetList open_windows(const char *name)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QWidgetList found;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->objectName() == QLatin1String(name) && window->isVisible())
            found << window;
    return found;
}

QList<QByteArray> file_lines(const std::string &bytes)
{
    return QByteArray::fromStdString(bytes).split('\n');
}

product_record make_record(const RecordFields &fields)
{
    // Lines 1 to 14 in file order; purchased on 1 January 2020.
    const std::string first_lines[] = {
        fields.number,       fields.description, "",  "",        fields.cost, fields.mode,
        fields.availability, fields.interval,    "1", "January", "2020",      fields.day,
        fields.month,        fields.year};
    product_record record;
    std::copy(std::begin(first_lines), std::end(first_lines), record.lines.begin());
    return record;
}

product_record with(product_record record, std::initializer_list<std::pair<int, std::string>> set)
{
    for (const auto &[line, text] : set)
        record[line] = text;
    return record;
}

std::string file_of(const std::vector<product_record> &records)
{
    std::string out;
    for (const auto &record : records)
        for (const auto &line : record.lines)
            out += line + "\r\n";
    return out;
}

} // namespace durnmoor::test
