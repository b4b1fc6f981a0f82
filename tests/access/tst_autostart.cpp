// The start-up entry of the session: the program's path in its Exec line, quoted so that a
// desktop reading the entry starts exactly that program.
#include "access/autostart.h"
#include "support/test_env.h"

using namespace durnmoor;
using namespace durnmoor::test;

class AutostartTest : public QObject {
    Q_OBJECT

private slots:
    // The path is quoted whole, " ` $ and \ escaped inside the quotes and % doubled, then every
    // backslash doubled again as any text in the entry. A desktop undoes the two layers in the
    // other order, so a backslash escaped once too few or too many starts another program.
    void exec_line_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("exec");
        // clang-format off
        QTest::newRow("blanks") << "/opt/my apps/durnmoor" << "Exec=\"/opt/my apps/durnmoor\"";
        // Each escape applied once, in its own layer, whatever comes next to it. C++ escapes
        // aside, the file holds Exec="/a b/\\$\\`%%\\"\\\\/durnmoor".
        QTest::newRow("all at once") << "/a b/$`%\"\\/durnmoor"
                                     << "Exec=\"/a b/\\\\$\\\\`%%\\\\\"\\\\\\\\/durnmoor\"";
        // A line break written as such would end the entry's line and start a key of its own.
        QTest::newRow("line break") << "/x/two\nlines/durnmoor" << "Exec=\"/x/two\\nlines/durnmoor\"";
        // clang-format on
    }
    void exec_line()
    {
        QFETCH(QString, program);
        TestEnv env;
        XdgAutostart entry(env.path("autostart"), program);
        entry.set_registered(true);
        QVERIFY(entry.registered());
        const QStringList lines =
            QString::fromStdString(env.read_file("autostart/durnmoor.desktop")).split(u'\n');
        QTEST(lines.filter(QRegularExpression("^Exec=")).join('|'), "exec");
        QVERIFY(lines.contains("[Desktop Entry]") && lines.contains("Type=Application"));
        entry.set_registered(false);
        QVERIFY(!entry.registered());
    }
};

QTEST_MAIN(AutostartTest)
#include "tst_autostart.moc"
