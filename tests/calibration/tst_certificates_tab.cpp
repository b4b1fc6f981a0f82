// The certificates of a calibration on the history tab: attached through the chooser, listed
// per calibration date, opened by the desktop's viewer, removed into the session's backup
// set (with their calibration too), each change in the audit trail, a long copy shown with
// its progress, and the edit right asked for by every button and every handler.
#include "audit/audit_entry.h"
#include "audit/sha256.h"
#include "common/open_file_chooser.h"
#include "common/shell.h"
#include "store/file_faults.h"
#include "support/window_fixture.h"

#include <QProgressDialog>

#include <cerrno>
#include <thread>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

std::string cal(const std::string &date)
{
    return crlf_lines({"DMM-1", date, "10", "#1RESULT", "ok", "#2RESULT"});
}

const std::string history = cal("05/12/2026") + cal("10/01/2026");
const std::string products = file_of({make_record({.number = "DMM-1"})});
const QString today_folder = "certificates/DMM-1/2026-12-05/";
const auto buttons = {"attachCertificate", "openCertificate", "removeCertificate"};

// The files the chooser hands over next, written outside the data folder's certificates.
QStringList picked;
QString picked_filter;
void pick(const TestEnv &env, const QString &folder, const QString &name, const std::string &bytes)
{
    QDir().mkpath(env.path(folder));
    env.write_file(folder + "/" + name, bytes);
    picked << env.path(folder + "/" + name);
}

// The trail's certificate entries: action, key, then each change as new/old.
QStringList certificate_entries(const TestEnv &env)
{
    QStringList found;
    for (const AuditEntry &entry : audit_entries(env)) {
        if (!entry.action.starts_with("certificate."))
            continue;
        QString text =
            QString::fromStdString(entry.action + ' ' + entry.key[0] + ' ' + entry.key[1]);
        for (const FieldChange &change : entry.changes)
            text += QString::fromStdString(' ' + change.new_value.value_or("-") + '/' +
                                           change.old_value.value_or("-"));
        found << text;
    }
    return found;
}

QString sha(const std::string &bytes)
{
    return QString::fromStdString(sha256_hex(bytes));
}

QStringList sets(const TestEnv &env)
{
    return QDir(env.path("backups")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

} // namespace

class tst_CertificatesTab : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        set_open_file_chooser([](QWidget *, const OpenFileRequest &request) {
            picked_filter = request.filter;
            return std::exchange(picked, {});
        });
    }
    void cleanup()
    {
        set_open_file_chooser({});
        set_start_doc_hook({});
        set_file_fault({});
    }

    void attach_list_open_and_remove()
    {
        WindowFixture f({products, history});
        f.run("row=0; tab=3");
        QCOMPARE(f.enabled_among(buttons), QStringList());
        f.run("history row=0");
        QCOMPARE(f.enabled_among(buttons), QStringList({"attachCertificate"}));
        pick(f.env, "a", "cal.pdf", "first");
        pick(f.env, "a", "photo.jpg", "jpg");
        f.run("attachCertificate");
        QVERIFY(picked_filter.startsWith("Certificates and scans (*.pdf "));
        QVERIFY(picked_filter.endsWith(";;All files (*)"));
        pick(f.env, "b", "cal.pdf", "second");
        f.run("attachCertificate");
        QCOMPARE(f.lines_of("certificateList"),
                 QStringList({"cal (2).pdf", "cal.pdf", "photo.jpg"}));
        QCOMPARE(f.env.read_file(today_folder + "cal (2).pdf"), "second");
        // A copy that fails says why, and leaves nothing.
        pick(f.env, "c", "cal.pdf", "third");
        set_file_fault([](FileStep step, const QString &) {
            return step == FileStep::certificate_copy ? ENOSPC : 0;
        });
        f.run("attachCertificate");
        set_file_fault({});
        QCOMPARE(shown_messages().last(),
                 "Warning \"Durnmoor\": cal.pdf could not be attached to the calibration of "
                 "Saturday Dec 5 2026.\n" +
                     QString::fromLocal8Bit(std::strerror(ENOSPC)) +
                     "\nNothing of it has been kept. (Ok, default Ok)");
        // Nor is one kept that the audit trail cannot record.
        pick(f.env, "c", "cal.pdf", "third");
        set_file_fault(
            [](FileStep step, const QString &) { return step == FileStep::append ? EIO : 0; });
        f.run("attachCertificate");
        set_file_fault({});
        QVERIFY(shown_messages().last().startsWith(
            "Warning \"Durnmoor\": cal.pdf could not be recorded in the audit trail: "));
        QVERIFY(shown_messages().last().endsWith("\nIt has not been attached. (Ok, default Ok)"));
        QCOMPARE(QDir(f.env.path(today_folder)).entryList(QDir::Files | QDir::Hidden).size(), 3);
        // Listed per calibration date: January's has none until one is attached.
        pick(f.env, "a", "jan.pdf", "jan");
        f.run("history row=1");
        QCOMPARE(f.lines_of("certificateList"), QStringList());
        f.run("attachCertificate; history row=0");

        QString opened;
        set_start_doc_hook([&](const QString &doc) {
            opened = doc;
            return 3;
        });
        f.control<QListWidget>("certificateList")->setCurrentRow(2);
        QCOMPARE(f.enabled_among(buttons).size(), 3);
        f.run("openCertificate");
        QCOMPARE(opened, QFileInfo(f.env.path(today_folder + "photo.jpg")).absoluteFilePath());
        QCOMPARE(shown_messages().last(),
                 "Warning \"Durnmoor\": The certificate photo.jpg could not be opened.\n" +
                     opener_problem(3) + " (Ok, default Ok)");

        f.control<QListWidget>("certificateList")->setCurrentRow(1);
        f.run("No; removeCertificate");
        QCOMPARE(shown_messages().last(),
                 "Question \"Durnmoor\": Remove the certificate cal.pdf from the calibration of "
                 "Saturday Dec 5 2026?\nIt is kept in this session's backup set. (Yes|No, "
                 "default No)");
        f.run("Yes; removeCertificate");
        QCOMPARE(f.lines_of("certificateList"), QStringList({"cal (2).pdf", "photo.jpg"}));
        QCOMPARE(sets(f.env).size(), 1);
        const QString set = "backups/" + sets(f.env)[0] + "/";
        QCOMPARE(f.env.read_file(set + today_folder + "cal.pdf"), "first");
        QCOMPARE(f.history(), history); // certificates never touch the history file

        // Removing a calibration takes its date's certificates into the same set; another
        // date's stay.
        f.run("Command11");
        QCOMPARE(f.history(), cal("10/01/2026"));
        QCOMPARE(QDir(f.env.path(set + today_folder)).entryList(QDir::Files),
                 QStringList({"cal (2).pdf", "cal.pdf", "photo.jpg"}));
        QCOMPARE(QDir(f.env.path(today_folder)).entryList(QDir::Files), QStringList());
        QVERIFY(f.env.exists("certificates/DMM-1/2026-01-10/jan.pdf"));
        const QString attach = "certificate.attach DMM-1 ", remove = "certificate.remove DMM-1 ";
        QCOMPARE(certificate_entries(f.env),
                 QStringList({attach + "05/12/2026 cal.pdf/- " + sha("first") + "/-",
                              attach + "05/12/2026 photo.jpg/- " + sha("jpg") + "/-",
                              attach + "05/12/2026 cal (2).pdf/- " + sha("second") + "/-",
                              attach + "10/01/2026 jan.pdf/- " + sha("jan") + "/-",
                              remove + "05/12/2026 -/cal.pdf -/" + sha("first"),
                              remove + "05/12/2026 -/cal (2).pdf -/" + sha("second"),
                              remove + "05/12/2026 -/photo.jpg -/" + sha("jpg")}));

        // An instrument deleted keeps its certificates, shown again once it is added back.
        f.run("tab=0; row=0; Yes; Command3");
        QCOMPARE(f.products(), std::string());
        f.run("Command1; Text1=DMM-1; Command4; row=0; tab=3; history row=0");
        QCOMPARE(f.lines_of("certificateList"), QStringList({"jan.pdf"}));
    }

    // A copy that takes a while: the window goes on (its timers run), the progress shows
    // after half a second, and Cancel stops the copy with nothing left and nothing to tell.
    void long_copy_shows_progress_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("to the end") << false;
        QTest::newRow("cancelled") << true;
    }
    void long_copy_shows_progress()
    {
        QFETCH(bool, cancel);
        WindowFixture f({products, history});
        QVERIFY(f.env.write_sparse_file("big.pdf", 50 * 1024 * 1024));
        picked = {f.env.path("big.pdf")};
        set_file_fault([](FileStep step, const QString &) {
            if (step == FileStep::certificate_copy)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return 0;
        });
        int ticks = 0;
        bool progress_seen = false;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            ++ticks;
            auto *progress = f.window->findChild<QProgressDialog *>("certificateProgress");
            if (progress && progress->isVisible()) {
                progress_seen = true;
                if (cancel)
                    QTest::mouseClick(progress->findChild<QPushButton *>(), Qt::LeftButton);
            }
        });
        tick.start(100);
        f.run("row=0; tab=3; history row=0; attachCertificate");
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
        QVERIFY(progress_seen);
        QCOMPARE(f.lines_of("certificateList"), cancel ? QStringList() : QStringList({"big.pdf"}));
        QCOMPARE(QDir(f.env.path(today_folder)).entryList(QDir::Hidden | QDir::Files).size(),
                 cancel ? 0 : 1);
        QCOMPARE(QFileInfo(f.env.path(today_folder + "big.pdf")).size(),
                 cancel ? 0 : 50 * 1024 * 1024);
        QCOMPARE(shown_messages().filter("Warning"), QStringList());
    }

    // Without the edit right the buttons that change are off, and their handlers refuse too,
    // should a click reach them.
    void edit_right_is_needed()
    {
        WindowFixture f({.products = products,
                         .history = history,
                         .security = crlf_lines({"viewer", "pw", " 1 ", " 0 ", " 0 "}),
                         .settings = {{"Pass/Word", "YES"}}});
        QTRY_VERIFY(!open_windows("SettingsPro").isEmpty());
        f.run("Text2=viewer; Return");
        QTest::keyClicks(open_windows("SettingsPro")[0]->focusWidget(), "pw");
        f.run("Return");
        QTRY_VERIFY(open_windows("SettingsPro").isEmpty());
        QDir().mkpath(f.env.path(today_folder));
        f.env.write_file(today_folder + "kept.pdf", "k");
        pick(f.env, "a", "new.pdf", "n");

        f.run("row=0; tab=3; history row=0");
        f.control<QListWidget>("certificateList")->setCurrentRow(0);
        QCOMPARE(f.enabled_among(buttons), QStringList({"openCertificate"}));
        emit f.control<QPushButton>("attachCertificate")->clicked();
        emit f.control<QPushButton>("removeCertificate")->clicked();
        QCOMPARE(picked.size(), 1); // never asked for
        const QString refused = "Warning \"Durnmoor\": Certificates can only be attached or "
                                "removed with the right to edit. (Ok, default Ok)";
        QCOMPARE(shown_messages().mid(shown_messages().size() - 2),
                 QStringList({refused, refused}));
        QCOMPARE(f.lines_of("certificateList"), QStringList({"kept.pdf"}));
        picked.clear();
    }
};

QTEST_MAIN(tst_CertificatesTab)
#include "tst_certificates_tab.moc"
