// The certificates of a calibration on the history tab: attached through the chooser, listed
// per calibration date, opened by the desktop's viewer, removed into the session's backup
// set (with the calibration too), each change in the audit trail, and the edit right asked
// for by every button and every handler.
#include "audit/audit_entry.h"
#include "audit/sha256.h"
#include "common/open_files_chooser.h"
#include "common/shell.h"
#include "store/file_faults.h"
#include "support/window_fixture.h"

#include <QProgressDialog>
#include <QScopeGuard>

#include <cerrno>
#include <thread>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

std::string cal(const std::string &date, const std::string &result)
{
    return crlf_lines({"DMM-1", date, "10", "#1RESULT", result, "#2RESULT"});
}

const std::string history = cal("05/12/2026", "today") + cal("10/01/2026", "january");
const std::string products = file_of({make_record({.number = "DMM-1"})});
const QString today_folder = "certificates/DMM-1/2026-12-05/";
const QStringList buttons = {"attachCertificate", "openCertificate", "removeCertificate"};

// A file to attach, outside the data folder's certificates.
QString source(const TestEnv &env, const QString &name, const std::string &bytes)
{
    QDir().mkpath(env.path("picked"));
    env.write_file("picked/" + name, bytes);
    return env.path("picked/" + name);
}

// The certificate entries of the audit trail: action, key, then each change's new or old
// value.
QStringList certificate_entries(const TestEnv &env)
{
    QStringList found;
    for (const QByteArray &line :
         QByteArray::fromStdString(env.read_file("audit.log")).split('\n')) {
        const std::optional<AuditEntry> entry = read_audit_line(line.toStdString());
        if (!entry || !QByteArray::fromStdString(entry->action).startsWith("certificate."))
            continue;
        QStringList parts = {QString::fromStdString(entry->action)};
        for (const std::string &key : entry->key)
            parts << QString::fromStdString(key);
        for (const FieldChange &change : entry->changes)
            parts << QString::fromStdString(change.new_value.value_or("-") + "/" +
                                            change.old_value.value_or("-"));
        found << parts.join(' ');
    }
    return found;
}

QStringList enabled_buttons(const WindowFixture &f)
{
    QStringList on;
    for (const QString &name : buttons)
        if (f.control<QPushButton>(qPrintable(name))->isEnabled())
            on << name;
    return on;
}

void pick_certificate(WindowFixture &f, int row)
{
    f.control<QListWidget>("certificateList")->setCurrentRow(row);
}

} // namespace

class tst_CertificatesTab : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup()
    {
        set_open_files_chooser({});
        set_start_doc_hook({});
        set_file_fault({});
    }

    void attach_list_open_and_remove()
    {
        WindowFixture f({products, history});
        QStringList picked;
        QString filter;
        set_open_files_chooser([&](QWidget *, const OpenFilesRequest &request) {
            filter = request.filter;
            return std::exchange(picked, {});
        });
        f.run("row=0; tab=3");
        QCOMPARE(enabled_buttons(f), QStringList());
        f.run("history row=0");
        QCOMPARE(enabled_buttons(f), QStringList({"attachCertificate"}));

        picked = {source(f.env, "cal.pdf", "first"), source(f.env, "photo.jpg", "jpg")};
        f.run("attachCertificate");
        QVERIFY(filter.startsWith("Certificates and scans (*.pdf "));
        QVERIFY(filter.endsWith(";;All files (*)"));
        QDir().mkpath(f.env.path("again"));
        f.env.write_file("again/cal.pdf", "second");
        picked = {f.env.path("again/cal.pdf")};
        f.run("attachCertificate");
        QCOMPARE(f.lines_of("certificateList"),
                 QStringList({"cal (2).pdf", "cal.pdf", "photo.jpg"}));
        QCOMPARE(f.env.read_file(today_folder + "cal (2).pdf"), "second");
        // Listed per calibration date: January's has none.
        f.run("history row=1");
        QCOMPARE(f.lines_of("certificateList"), QStringList());
        f.run("history row=0");

        QString opened;
        set_start_doc_hook([&](const QString &doc) {
            opened = doc;
            return 3;
        });
        pick_certificate(f, 2);
        QCOMPARE(enabled_buttons(f), buttons);
        f.run("openCertificate");
        QCOMPARE(opened, QFileInfo(f.env.path(today_folder + "photo.jpg")).absoluteFilePath());
        QCOMPARE(shown_messages().last(),
                 "Warning \"Durnmoor\": The certificate photo.jpg could not be opened.\n" +
                     opener_problem(3) + " (Ok, default Ok)");

        pick_certificate(f, 1);
        f.run("No; removeCertificate");
        QCOMPARE(shown_messages().last(),
                 "Question \"Durnmoor\": Remove the certificate cal.pdf from the calibration of "
                 "Saturday Dec 5 2026?\nIt is kept in this session's backup set. (Yes|No, "
                 "default No)");
        QVERIFY(f.env.exists(today_folder + "cal.pdf"));
        f.run("Yes; removeCertificate");
        QCOMPARE(f.lines_of("certificateList"), QStringList({"cal (2).pdf", "photo.jpg"}));
        const QStringList sets =
            QDir(f.env.path("backups")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(f.env.read_file("backups/" + sets[0] + "/" + today_folder + "cal.pdf"), "first");
        QCOMPARE(f.history(), history); // the history file is never touched

        const QString first = QString::fromStdString(sha256_hex("first"));
        QCOMPARE(certificate_entries(f.env),
                 QStringList({"certificate.attach DMM-1 05/12/2026 cal.pdf/- " + first + "/-",
                              "certificate.attach DMM-1 05/12/2026 photo.jpg/- " +
                                  QString::fromStdString(sha256_hex("jpg")) + "/-",
                              "certificate.attach DMM-1 05/12/2026 cal (2).pdf/- " +
                                  QString::fromStdString(sha256_hex("second")) + "/-",
                              "certificate.remove DMM-1 05/12/2026 -/cal.pdf -/" + first}));
    }

    void failing_copy_says_why_and_leaves_nothing()
    {
        WindowFixture f({products, history});
        const QString picked = source(f.env, "cal.pdf", "x");
        set_open_files_chooser(
            [&](QWidget *, const OpenFilesRequest &) { return QStringList{picked}; });
        set_file_fault([](FileStep step, const QString &) {
            return step == FileStep::certificate_copy ? ENOSPC : 0;
        });
        f.run("row=0; tab=3; history row=0; attachCertificate");
        QCOMPARE(shown_messages().last(),
                 "Warning \"Durnmoor\": cal.pdf could not be attached to the calibration of "
                 "Saturday Dec 5 2026.\n" +
                     QString::fromLocal8Bit(std::strerror(ENOSPC)) +
                     "\nNothing of it has been kept. (Ok, default Ok)");
        QCOMPARE(QDir(f.env.path(today_folder))
                     .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QCOMPARE(certificate_entries(f.env), QStringList());
    }

    // A copy that takes a while: the window goes on (its timers run), the progress shows
    // after half a second, and Cancel stops the copy with nothing left.
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
        QDir().mkpath(f.env.path("picked"));
        QVERIFY(f.env.write_sparse_file("picked/big.pdf", 50 * 1024 * 1024));
        const QString picked = f.env.path("picked/big.pdf");
        set_open_files_chooser(
            [&](QWidget *, const OpenFilesRequest &) { return QStringList{picked}; });
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
        QCOMPARE(QFileInfo(f.env.path(today_folder + "big.pdf")).size(),
                 cancel ? 0 : 50 * 1024 * 1024);
        QCOMPARE(QDir(f.env.path(today_folder)).entryList(QDir::Hidden | QDir::Files).size(),
                 cancel ? 0 : 1);
        QCOMPARE(shown_messages().filter("Warning").join("\n"), QString());
    }

    // Removing a calibration takes its date's certificates to the backup set; another date's
    // stay.
    void removing_a_calibration_moves_its_certificates()
    {
        WindowFixture f({products, history});
        const QString picked = source(f.env, "cal.pdf", "c");
        set_open_files_chooser(
            [&](QWidget *, const OpenFilesRequest &) { return QStringList{picked}; });
        f.run("row=0; tab=3; history row=0; attachCertificate; history row=1; attachCertificate");
        f.run("history row=0; Command11");
        QCOMPARE(f.history(), cal("10/01/2026", "january"));
        const QStringList sets =
            QDir(f.env.path("backups")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(sets.size(), 1);
        QCOMPARE(f.env.read_file("backups/" + sets[0] + "/" + today_folder + "cal.pdf"), "c");
        QVERIFY(!f.env.exists(today_folder + "cal.pdf"));
        QVERIFY(f.env.exists("certificates/DMM-1/2026-01-10/cal.pdf"));
        QCOMPARE(certificate_entries(f.env).filter("certificate.remove"),
                 QStringList({"certificate.remove DMM-1 05/12/2026 -/cal.pdf -/" +
                              QString::fromStdString(sha256_hex("c"))}));
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
        QWidget *log_in = open_windows("SettingsPro").value(0);
        f.run("Text2=viewer; Return");
        QTest::keyClicks(log_in->focusWidget(), "pw");
        f.run("Return");
        QTRY_VERIFY(open_windows("SettingsPro").isEmpty());
        QVERIFY(!f.window->access().may_edit());
        f.env.write_file("kept.pdf", "k");
        QDir().mkpath(f.env.path(today_folder));
        QVERIFY(QFile::copy(f.env.path("kept.pdf"), f.env.path(today_folder + "kept.pdf")));
        bool chosen = false;
        set_open_files_chooser([&](QWidget *, const OpenFilesRequest &) {
            chosen = true;
            return QStringList{f.env.path("kept.pdf")};
        });

        f.run("row=0; tab=3; history row=0");
        pick_certificate(f, 0);
        QCOMPARE(enabled_buttons(f), QStringList({"openCertificate"}));
        emit f.control<QPushButton>("attachCertificate")->clicked();
        emit f.control<QPushButton>("removeCertificate")->clicked();
        QVERIFY(!chosen);
        const QString refused = "Warning \"Durnmoor\": Certificates can only be attached or "
                                "removed with the right to edit. (Ok, default Ok)";
        QCOMPARE(shown_messages().mid(shown_messages().size() - 2),
                 QStringList({refused, refused}));
        QCOMPARE(f.lines_of("certificateList"), QStringList({"kept.pdf"}));
    }
};

QTEST_MAIN(tst_CertificatesTab)
#include "tst_certificates_tab.moc"
