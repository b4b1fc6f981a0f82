#include "support/window_fixture.h"

#include <cerrno>

namespace durnmoor::test {

WindowFixture::WindowFixture(const StartWith &start)
{
    for (const auto &[name, bytes] : {std::pair("products.dat", &start.products),
                                      {"history.dat", &start.history},
                                      {"contacts.dat", &start.contacts},
                                      {"security.dat", &start.security}})
        if (!bytes->empty())
            env.write_file(QString::fromLatin1(name), *bytes);
    for (auto [key, value] : start.settings.asKeyValueRange())
        env.settings().setValue(key, value);
    if (start.prepare)
        start.prepare(env);
    window = std::make_unique<MainWindow>(AppContext{env.dir(), &env.settings(), &autostart});
    window->fill_form();
    window->apply_start_rights();
    window->show();
    if (start.trail_checked)
        window->wait_for_trail_check();
    QApplication::processEvents();
}

WindowFixture::~WindowFixture()
{
    window.reset();
    set_file_fault(nullptr);
}

namespace {

void click_button(QAbstractButton *button)
{
    // A stretched option or tick box reacts only over its mark and caption, not its centre.
    QStyleOptionButton option;
    option.initFrom(button);
    const auto mark = button->inherits("QRadioButton") ? QStyle::SE_RadioButtonIndicator
                                                       : QStyle::SE_CheckBoxIndicator;
    const bool option_box = button->inherits("QRadioButton") || button->inherits("QCheckBox");
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier,
                      option_box ? button->style()->subElementRect(mark, &option, button).center()
                                 : button->rect().center());
}

void click_row(QListView *list, int row, Qt::KeyboardModifiers modifiers, bool twice)
{
    const QModelIndex item = list->model()->index(row, 0);
    QVERIFY2(item.isValid(),
             qPrintable(QStringLiteral("%1 has no row %2").arg(list->objectName()).arg(row)));
    list->scrollTo(item);
    const QPoint at = list->visualRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, modifiers, at);
}

} // namespace

void WindowFixture::run(const QString &steps)
{
    for (const QString &step : steps.split(QStringLiteral("; "), Qt::SkipEmptyParts)) {
        if (QTest::currentTestFailed())
            return; // the steps after a failed one would only blur what went wrong
        const QString name = step.section('=', 0, 0), text = step.section('=', 1);
        const bool history = name.startsWith(QLatin1String("history "));
        const QString what = history ? name.mid(8) : name;
        const QByteArray latin1 = name.toLatin1();
        const char *box = latin1.constData();
        if (step == "Yes" || step == "No")
            Messages::queue_answer(step == "Yes" ? QMessageBox::Yes : QMessageBox::No);
        else if (what == "row" || what == "ctrl-row" || what == "double-click")
            click_row(control<QListView>(history ? "List2" : "List1"), text.toInt(),
                      what == "ctrl-row" ? Qt::ControlModifier : Qt::NoModifier,
                      what == "double-click");
        else if (name == "tab") {
            QTabBar *bar = control<QTabWidget>("SSTab1")->tabBar();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                              bar->tabRect(text.toInt()).center());
            QApplication::processEvents();
        } else if (step == "close")
            windows().constFirst()->close();
        else if (step == "Return" || step == "Escape") {
            QWidget *front = windows().constFirst();
            QTest::keyClick(front->focusWidget() ? front->focusWidget() : front,
                            step == "Return" ? Qt::Key_Return : Qt::Key_Escape);
        } else if (step.startsWith(QLatin1String("block ")))
            // a directory cannot be opened for writing, even by root
            QVERIFY(QDir(env.dir()).mkdir(step.mid(6)));
        else if (step.startsWith(QLatin1String("unreadable "))) {
            const QString file = step.mid(11);
            set_file_fault([file](FileStep at, const QString &name) {
                return at == FileStep::open && name == file ? EACCES : 0;
            });
        } else if (step.startsWith(QLatin1String("type "))) {
            // typed into a list box's own text, with the focus there as a user's would be
            auto *combo = control<QComboBox>(qPrintable(name.mid(5)));
            QVERIFY2(combo && combo->lineEdit(), qPrintable(step));
            combo->lineEdit()->setFocus();
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo->lineEdit(), text);
        } else if (step.startsWith(QLatin1String("paste ")))
            control<QLineEdit>(qPrintable(name.mid(6)))->setText(text);
        else if (step.contains('=')) {
            if (auto *combo = control<QComboBox>(box)) {
                const int index = combo->findText(text, Qt::MatchExactly);
                QVERIFY2(index >= 0 && combo->isEnabled(), qPrintable(step));
                combo->setCurrentIndex(index);
                emit combo->activated(index); // as the box reports a user's pick
            } else if (auto *edit = control<QPlainTextEdit>(box)) {
                edit->selectAll();
                const QStringList lines = text.split(u'\n');
                for (qsizetype i = 0; i < lines.size(); ++i) {
                    if (i > 0)
                        QTest::keyClick(edit, Qt::Key_Return);
                    QTest::keyClicks(edit, lines[i]);
                }
            } else if (auto *line = control<QLineEdit>(box)) {
                line->selectAll();
                QTest::keyClicks(line, text);
            } else
                QFAIL(qPrintable("No such box: " + step));
        } else {
            // A menu item or a button, chosen or clicked; for "disabled X", found disabled. A
            // user can do neither to a disabled one: a test that does has gone wrong.
            const bool disabled = step.startsWith(QLatin1String("disabled "));
            const QByteArray target = (disabled ? step.mid(9) : step).toLatin1();
            auto *action = control<QAction>(target);
            QObject *found =
                action ? static_cast<QObject *>(action) : control<QAbstractButton>(target);
            QVERIFY2(found, qPrintable("Step \"" + step + "\": no such step or control"));
            QVERIFY2(found->property("enabled").toBool() != disabled,
                     qPrintable("Step \"" + step + "\": the control is " +
                                (disabled ? "enabled" : "disabled")));
            if (disabled)
                continue;
            if (action)
                action->trigger();
            else
                click_button(static_cast<QAbstractButton *>(found));
        }
    }
}

QWidgetList WindowFixture::windows() const
{
    QWidgetList front;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top != window.get() && top->isVisible())
            front << top;
    return front << window.get();
}

QString WindowFixture::form(std::initializer_list<const char *> controls) const
{
    const char *tabs[] = {"listing", "address book", "details", "history"};
    return (QStringList{tabs[control<QTabWidget>("SSTab1")->currentIndex()] + QString(':'),
                        text_of("Text1") + '|' + text_of("Text2") + '|'} +
            enabled_among(controls))
        .join(' ');
}

QStringList WindowFixture::lines_of(const char *list) const
{
    const auto *combo = control<QComboBox>(list);
    const QAbstractItemModel *model = combo ? combo->model() : control<QListView>(list)->model();
    QStringList lines;
    for (int i = 0; i < model->rowCount(); ++i)
        lines << model->index(i, 0).data().toString();
    return lines;
}

QStringList WindowFixture::enabled_among(std::initializer_list<const char *> names) const
{
    QStringList enabled;
    for (const char *name : names)
        if (control<QWidget>(name)->isEnabled())
            enabled << QString::fromLatin1(name);
    return enabled;
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
