// Certificates kept beside the calibrations: safe folder names, copies that take their name
// only once whole, listing per calibration date, and removal into the session's backup set.
#include "audit/sha256.h"
#include "backup/session_backup.h"
#include "certificates/certificate_store.h"
#include "store/file_faults.h"
#include "support/test_env.h"

#include <QDir>
#include <QDirIterator>
#include <QScopeGuard>

#include <cerrno>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const QDate day(2026, 12, 5);

// Everything under the data folder's certificates, hidden entries too, as relative paths.
QStringList everything_under(const TestEnv &env, const QString &folder)
{
    QStringList found;
    QDirIterator it(env.path(folder), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(env.path(folder)).relativeFilePath(it.next());
    found.sort();
    return found;
}

// A file written where a test wants it, its folders made first.
void put(const TestEnv &env, const QString &name, const std::string &bytes)
{
    QDir().mkpath(QFileInfo(env.path(name)).path());
    env.write_file(name, bytes);
}

} // namespace

class TestCertificates : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_file_fault({}); }

    void folder_names_data()
    {
        QTest::addColumn<std::string>("number");
        QTest::addColumn<QString>("name"); // without the hash when one is added
        QTest::addColumn<bool>("hashed");
        QTest::newRow("plain") << std::string("N-1 a") << "N-1 a" << false;
        QTest::newRow("non-ASCII kept") << std::string("Wärme-5") << "Wärme-5" << false;
        QTest::newRow("slash") << std::string("A/7") << "A_7" << true;
        QTest::newRow("parent") << std::string("..") << "__" << true;
        QTest::newRow("leading dots") << std::string("..x.y") << "__x.y" << true;
        QTest::newRow("dot inside kept") << std::string("x.y") << "x.y" << false;
        QTest::newRow("share refuses") << std::string("a:b*c?\"<>|\\") << "a_b_c______" << true;
        QTest::newRow("control") << std::string("a\tb") << "a_b" << true;
        QTest::newRow("not UTF-8") << std::string("M\xe4") << "M_" << true;
        QTest::newRow("empty") << std::string() << "" << true;
        QTest::newRow("too long") << std::string(300, 'x') << QString(160, 'x') << true;
    }
    void folder_names()
    {
        QFETCH(std::string, number);
        QFETCH(QString, name);
        QFETCH(bool, hashed);
        const QString folder = certificate_folder_name(number);
        const QString hash = QString::fromLatin1(sha256_hex(number).substr(0, 10));
        QCOMPARE(folder, hashed ? name + "~" + hash : name);
    }

    void changed_numbers_stay_apart()
    {
        const std::string numbers[] = {
            "A/7", "A_7", "A\\7", ".A", "_A", std::string(200, 'y'), std::string(201, 'y')};
        QSet<QString> folders;
        for (const std::string &number : numbers)
            folders.insert(certificate_folder_name(number));
        QCOMPARE(folders.size(), int(std::size(numbers)));
    }

    void attach_keeps_names_and_numbers_collisions()
    {
        TestEnv env;
        put(env, "in/report.pdf", "one");
        put(env, "in2/report.pdf", "two");
        put(env, "in3/report.pdf", "three");
        put(env, "in/README", "r1");
        put(env, "in2/README", "r2");
        QStringList taken;
        for (const char *source :
             {"in/report.pdf", "in2/report.pdf", "in3/report.pdf", "in/README", "in2/README"}) {
            const CertificateOutcome got =
                attach_certificate(env.dir(), "../N/1", day, env.path(source));
            QVERIFY2(got.ok, qPrintable(got.reason));
            QCOMPARE(got.sha256, sha256_hex(env.read_file(source)));
            taken << got.name;
        }
        QCOMPARE(taken, QStringList({"report.pdf", "report (2).pdf", "report (3).pdf", "README",
                                     "README (2)"}));
        const QString folder = certificate_folder_name("../N/1") + "/2026-12-05/";
        QCOMPARE(env.read_file("certificates/" + folder + "report (2).pdf"), "two");
        QCOMPARE(certificates_of(env.dir(), "../N/1", day),
                 QStringList(
                     {"README", "README (2)", "report (2).pdf", "report (3).pdf", "report.pdf"}));
        // Nothing escaped the certificates folder through the number.
        QCOMPARE(QDir(env.dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"certificates", "in", "in2", "in3"}));
    }

    void failing_copy_leaves_nothing_data()
    {
        QTest::addColumn<FileStep>("step");
        QTest::addColumn<int>("error");
        QTest::newRow("copy") << FileStep::certificate_copy << ENOSPC;
        QTest::newRow("flush") << FileStep::certificate_sync << EIO;
        QTest::newRow("rename") << FileStep::certificate_rename << EACCES;
    }
    void failing_copy_leaves_nothing()
    {
        QFETCH(FileStep, step);
        QFETCH(int, error);
        TestEnv env;
        put(env, "cal.pdf", std::string(3 * 1024 * 1024, 'c'));
        // The copy fails on its second block, once something has been written.
        int blocks = 0;
        set_file_fault([&](FileStep at, const QString &) {
            if (at != step)
                return 0;
            return step != FileStep::certificate_copy || ++blocks == 2 ? error : 0;
        });
        const CertificateOutcome got =
            attach_certificate(env.dir(), "N-1", day, env.path("cal.pdf"));
        QVERIFY(!got.ok);
        QCOMPARE(got.reason, QString::fromLocal8Bit(std::strerror(error)));
        QCOMPARE(everything_under(env, "certificates"), QStringList({"N-1", "N-1/2026-12-05"}));
    }

    void cancelled_copy_leaves_nothing()
    {
        TestEnv env;
        put(env, "cal.pdf", std::string(3 * 1024 * 1024, 'c'));
        std::atomic<bool> cancel = false;
        const CertificateOutcome got = attach_certificate(
            env.dir(), "N-1", day, env.path("cal.pdf"),
            [&](qint64 done, qint64 total) {
                QCOMPARE(total, 3 * 1024 * 1024);
                cancel = done >= 1024 * 1024;
            },
            &cancel);
        QVERIFY(!got.ok);
        QCOMPARE(certificates_of(env.dir(), "N-1", day), QStringList());
        QCOMPARE(everything_under(env, "certificates/N-1/2026-12-05"), QStringList());
    }

    void listing_per_date_and_count()
    {
        TestEnv env;
        put(env, "a.pdf", "a");
        for (const QDate on : {day, day, day.addYears(-1)})
            QVERIFY(attach_certificate(env.dir(), "N-1", on, env.path("a.pdf")).ok);
        QVERIFY(attach_certificate(env.dir(), "N-10", day, env.path("a.pdf")).ok);
        // A copy a crash cut short is no certificate.
        put(env, "certificates/N-1/2026-12-05/.attaching-b.pdf", "b");
        QCOMPARE(certificates_of(env.dir(), "N-1", day), QStringList({"a (2).pdf", "a.pdf"}));
        QCOMPARE(certificates_of(env.dir(), "N-1", day.addYears(-1)), QStringList({"a.pdf"}));
        QCOMPARE(certificates_of(env.dir(), "N-1", day.addDays(1)), QStringList());
        QCOMPARE(certificate_count(env.dir(), "N-1"), 3);
        QCOMPARE(certificate_count(env.dir(), "N-10"), 1);
        QCOMPARE(certificate_count(env.dir(), "N-2"), 0);
    }

    void removal_moves_into_the_session_set()
    {
        TestEnv env;
        put(env, "products.dat", "p");
        put(env, "a.pdf", "first");
        SessionBackup backup(env.dir(), {{"products.dat"}});
        for (int i = 0; i < 2; ++i)
            QVERIFY(attach_certificate(env.dir(), "A/7", day, env.path("a.pdf")).ok);
        put(env, "a.pdf", "second");
        QVERIFY(attach_certificate(env.dir(), "A/7", day, env.path("a.pdf")).ok);
        const QString folder = certificate_folder_name("A/7") + "/2026-12-05/";

        // The session has no set yet: it is made first, with the data files.
        CertificateOutcome got = move_certificate_to_backup(backup, env.dir(), "A/7", day, "a.pdf");
        QVERIFY2(got.ok, qPrintable(got.reason));
        QCOMPARE(got.sha256, sha256_hex("first"));
        QVERIFY(backup.made());
        const QString set = "backups/" + backup.set_name() + "/";
        QCOMPARE(env.read_file(set + "products.dat"), "p");
        QCOMPARE(env.read_file(set + "certificates/" + folder + "a.pdf"), "first");
        // A second file of the name left later goes beside it, into the same set.
        QVERIFY(QFile::rename(env.path("certificates/" + folder + "a (3).pdf"),
                              env.path("certificates/" + folder + "a.pdf")));
        got = move_certificate_to_backup(backup, env.dir(), "A/7", day, "a.pdf");
        QVERIFY(got.ok);
        QCOMPARE(env.read_file(set + "certificates/" + folder + "a (2).pdf"), "second");
        QCOMPARE(QDir(env.path("backups")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
        QCOMPARE(certificates_of(env.dir(), "A/7", day), QStringList({"a (2).pdf"}));
    }

    void failed_removal_keeps_the_certificate()
    {
        TestEnv env;
        put(env, "a.pdf", "a");
        SessionBackup backup(env.dir(), {});
        QVERIFY(attach_certificate(env.dir(), "N-1", day, env.path("a.pdf")).ok);
        set_file_fault([](FileStep at, const QString &) {
            return at == FileStep::certificate_move ? EXDEV : 0;
        });
        const CertificateOutcome got =
            move_certificate_to_backup(backup, env.dir(), "N-1", day, "a.pdf");
        QVERIFY(!got.ok);
        QCOMPARE(got.reason, QString::fromLocal8Bit(std::strerror(EXDEV)));
        QCOMPARE(certificates_of(env.dir(), "N-1", day), QStringList({"a.pdf"}));
        // Nor is anything moved when no set can be made.
        set_file_fault([](FileStep at, const QString &) {
            return at == FileStep::backup_folder ? ENOSPC : 0;
        });
        SessionBackup none(env.dir(), {});
        QVERIFY(!move_certificate_to_backup(none, env.dir(), "N-1", day, "a.pdf").ok);
        QCOMPARE(certificates_of(env.dir(), "N-1", day), QStringList({"a.pdf"}));
    }
};

QTEST_GUILESS_MAIN(TestCertificates)
#include "tst_certificates.moc"
