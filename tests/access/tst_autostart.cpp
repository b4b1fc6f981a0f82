// The start-up entry of the session: the program's path in its Exec line, quoted so that a
// desktop reading the entry starts exactly that program.
#include "access/autostart.h"
#include "support/test_env.h"

#include <QFile>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// What a desktop makes of an Exec value: first the string escapes of the entry format are
// undone, then the line is split into arguments by its quoting, a doubled % standing for one.
QStringList desktop_arguments(const QString &value)
{
    QString line;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != u'\\' || i + 1 == value.size()) {
            line += value[i];
            continue;
        }
        const QChar next = value[++i];
        line += next == u's'   ? QChar(u' ')
                : next == u'n' ? QChar(u'\n')
                : next == u't' ? QChar(u'\t')
                : next == u'r' ? QChar(u'\r')
                               : next;
    }
    QStringList arguments;
    QString argument;
    bool quoted = false, started = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'%' && i + 1 < line.size() && line[i + 1] == u'%') {
            argument += c;
            ++i;
        } else if (quoted && c == u'\\' && i + 1 < line.size() &&
                   QStringLiteral("\"`$\\").contains(line[i + 1])) {
            argument += line[++i];
        } else if (c == u'"') {
            quoted = !quoted;
            started = true;
        } else if (!quoted && c == u' ') {
            if (started)
                arguments << argument;
            argument.clear();
            started = false;
        } else {
            argument += c;
            started = true;
        }
    }
    if (started)
        arguments << argument;
    return arguments;
}

} // namespace

class AutostartTest : public QObject {
    Q_OBJECT

private slots:
    // The path is quoted whole, " ` $ and \ escaped inside the quotes and % doubled, then every
    // backslash doubled again as any text in the entry; read back, it is the path again.
    void exec_line_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        // C++ escapes aside, the file holds Exec="/home/a\\$HOME/durnmoor" for the dollar and
        // Exec="/x/back\\\\slash/durnmoor" for the backslash.
        QTest::newRow("blanks") << "/opt/my apps/durnmoor"
                                << "Exec=\"/opt/my apps/durnmoor\"";
        QTest::newRow("dollar") << "/home/a$HOME/durnmoor"
                                << "Exec=\"/home/a\\\\$HOME/durnmoor\"";
        QTest::newRow("backquote") << "/x/`id`/durnmoor"
                                   << "Exec=\"/x/\\\\`id\\\\`/durnmoor\"";
        QTest::newRow("percent") << "/x/100%u/durnmoor"
                                 << "Exec=\"/x/100%%u/durnmoor\"";
        QTest::newRow("double quote") << "/x/say \"hi\"/durnmoor"
                                      << "Exec=\"/x/say \\\\\"hi\\\\\"/durnmoor\"";
        QTest::newRow("backslash") << "/x/back\\slash/durnmoor"
                                   << "Exec=\"/x/back\\\\\\\\slash/durnmoor\"";
        QTest::newRow("all at once") << "/a b/$`%\"\\/durnmoor"
                                     << "Exec=\"/a b/\\\\$\\\\`%%\\\\\"\\\\\\\\/durnmoor\"";
        QTest::newRow("line break") << "/x/two\nlines/durnmoor"
                                    << "Exec=\"/x/two\\nlines/durnmoor\"";
    }
    void exec_line()
    {
        QFETCH(QString, program);
        QFETCH(QString, exec);
        TestEnv env;
        XdgAutostart entry(env.path("autostart"), program);
        entry.set_registered(true);
        QVERIFY(entry.registered());
        const QStringList lines =
            QString::fromStdString(env.read_file("autostart/durnmoor.desktop")).split(u'\n');
        QCOMPARE(lines.filter(QRegularExpression("^Exec=")), QStringList{exec});
        QVERIFY(lines.contains("[Desktop Entry]") && lines.contains("Type=Application"));
        QCOMPARE(desktop_arguments(exec.mid(5)), QStringList{program});
        entry.set_registered(false);
        QVERIFY(!entry.registered());
    }
};

QTEST_MAIN(AutostartTest)
#include "tst_autostart.moc"
