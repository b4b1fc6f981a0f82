// Help opening the user guide through the desktop.
#include "common/shell.h"
#include "support/window_fixture.h"

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

// The box's text up to the reason, then the reason.
const QString guide_box = "Warning \"Durnmoor\": The user guide could not be opened.\n%1\n%2";

} // namespace

class ShellTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_start_doc_hook(nullptr); }

    // Help opens the guide beside the data files, else the installed one, by its full path;
    // when there is none the user is told which file and why. (What the desktop's opener
    // makes of it: the next test.)
    void help_opens_the_user_guide_data()
    {
        QTest::addColumn<QStringList>("guides"); // where they are, below the test's folder
        const QString beside = "data/durn.rtf", installed = "share/durnmoor/durn.rtf";
        QTest::newRow("beside the data") << QStringList{beside};
        QTest::newRow("installed") << QStringList{installed};
        QTest::newRow("both") << QStringList{installed, beside};
        QTest::newRow("missing") << QStringList();
    }
    void help_opens_the_user_guide()
    {
        QFETCH(QStringList, guides);
        TestEnv env;
        for (const QString &guide : guides) {
            QDir().mkpath(QFileInfo(env.path(guide)).path());
            env.write_file(guide, "{\\rtf1 guide}");
        }
        QStringList given;
        set_start_doc_hook([&](const QString &doc) {
            given << doc;
            return 0;
        });
        open_user_guide(nullptr, env.path("data"), env.path("bin"));
        const QString path = env.path(guides.isEmpty() ? "data/durn.rtf" : guides.last());
        QCOMPARE(given, guides.isEmpty() ? QStringList() : QStringList{path});
        QCOMPARE(shown_messages(),
                 guides.isEmpty() ? QStringList{guide_box.arg(path, "No such file or directory") +
                                                " (Ok, default Ok)"}
                                  : QStringList());
    }

    // The desktop's opener is started without holding the window up, its complaints never
    // reach the terminal, and how it ended is told once it has (a status of its own: no
    // program for the file); one that cannot be started at all is said so too.
    void help_through_the_desktop_opener_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("told");
        QTest::newRow("no program for the file")
            << true << "No program is set up to open files of this kind. (Ok, default Ok)";
        QTest::newRow("no opener")
            << false << "The desktop's opener (xdg-open) could not be started: ";
    }
    void help_through_the_desktop_opener()
    {
        QFETCH(bool, installed);
        QFETCH(QString, told);
        WindowFixture f;
        f.env.write_file("durn.rtf", "{\\rtf1 guide}");
        // A stand-in for xdg-open: it notes the document it was given and where its outputs
        // go, complains as the real one does, and ends with status 3 a second later.
        const QString bin = f.env.path("bin");
        if (installed) {
            QVERIFY(QDir().mkpath(bin));
            f.env.write_file("bin/xdg-open",
                             QString("#!/bin/sh\necho \"$1\" > '%1/given'\n"
                                     "out=\"$(readlink /proc/$$/fd/1) $(readlink /proc/$$/fd/2)\"\n"
                                     "echo \"$out\" > '%1/outputs'\n"
                                     "echo 'xdg-open: no method available for opening' >&2\n"
                                     "sleep 1\nexit 3\n")
                                 .arg(bin)
                                 .toStdString());
            QFile::setPermissions(f.env.path("bin/xdg-open"), QFile::ReadOwner | QFile::ExeOwner);
        }
        const QByteArray old_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin) + (installed ? ':' + old_path : QByteArray()));
        const auto restore = qScopeGuard([&] { qputenv("PATH", old_path); });
        f.run("helpme");
        QTest::qWait(100);
        QVERIFY2(!installed || Messages::shown().empty(), "the window waited for the opener");
        QTRY_COMPARE_WITH_TIMEOUT(shown_messages().size(), 1, 10000);
        QVERIFY2(shown_messages()[0].startsWith(guide_box.arg(f.env.path("durn.rtf"), told)),
                 qPrintable(shown_messages()[0]));
        if (installed) // the document by its full path, the complaints to no terminal
            QCOMPARE(f.env.read_file("bin/given") + f.env.read_file("bin/outputs"),
                     f.env.path("durn.rtf").toStdString() + "\n/dev/null /dev/null\n");
    }
};

QTEST_MAIN(ShellTest)
#include "tst_shell.moc"
