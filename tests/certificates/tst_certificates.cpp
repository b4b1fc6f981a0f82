// Certificates kept beside the calibrations: safe folder names, copies that take their name
// only once whole, listing per calibration date, and removal into the session's backup set.
// (Attaching, listing and removing through the history tab are in tst_certificates_tab.)
#include "audit/sha256.h"
#include "backup/session_backup.h"
#include "certificates/certificate_store.h"
#include "store/file_faults.h"
#include "support/test_env.h"

#include <QDir>
#include <QDirIterator>

#include <cerrno>

using namespace durnmoor;
using namespace durnmoor::test;

namespace {

const QDate day(2026, 12, 5);

// A file written where a test wants it, its folders made first.
void put(const TestEnv &env, const QString &name, const std::string &bytes)
{
    QDir().mkpath(QFileInfo(env.path(name)).path());
    env.write_file(name, bytes);
}

// Everything under a folder of the data folder, hidden entries too, as relative paths.
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

} // namespace

class TestCertificates : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { set_file_fault({}); }

    // A number that had to be changed gets the hash of its own bytes: "A/7" and "A_7" (or two
    // numbers cut alike) never share a folder.
    void folder_names_data()
    {
        QTest::addColumn<std::string>("number");
        QTest::addColumn<QString>("name"); // without the hash when one is added
        QTest::addColumn<bool>("hashed");
        QTest::newRow("plain") << std::string("N-1 a") << "N-1 a" << false;
        QTest::newRow("non-ASCII kept") << std::string("Wärme-5") << "Wärme-5" << false;
        QTest::newRow("dot inside kept") << std::string("x.y") << "x.y" << false;
        QTest::newRow("slash") << std::string("A/7") << "A_7" << true;
        QTest::newRow("parent") << std::string("..") << "__" << true;
        QTest::newRow("leading dots") << std::string("..x.y") << "__x.y" << true;
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
        const QString hash = QString::fromLatin1(sha256_hex(number).substr(0, 10));
        QCOMPARE(certificate_folder_name(number), hashed ? name + "~" + hash : name);
    }

    // Names are kept, a name taken is numbered before its suffix, a copy cut short is no
    // certificate, and nothing escapes the certificates folder through the number.
    void attach_and_list()
    {
        TestEnv env;
        QStringList taken;
        for (const char *source : {"in/report.pdf", "in2/report.pdf", "in/README", "in2/README"}) {
            put(env, source, source);
            const CertificateOutcome got =
                attach_certificate(env.dir(), "../N/1", day, env.path(source));
            QVERIFY2(got.ok, qPrintable(got.reason));
            taken << got.name;
        }
        QCOMPARE(taken, QStringList({"report.pdf", "report (2).pdf", "README", "README (2)"}));
        const QString folder = "certificates/" + certificate_folder_name("../N/1") + "/2026-12-05/";
        QCOMPARE(env.read_file(folder + "report (2).pdf"), "in2/report.pdf");
        put(env, folder + ".attaching-cut.pdf", "cut short");
        QCOMPARE(certificates_of(env.dir(), "../N/1", day),
                 QStringList({"README", "README (2)", "report (2).pdf", "report.pdf"}));
        QCOMPARE(certificates_of(env.dir(), "../N/1", day.addDays(1)), QStringList());
        QCOMPARE(certificate_count(env.dir(), "../N/1"), 4);
        QCOMPARE(QDir(env.dir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"certificates", "in", "in2"}));
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
            return at == step && (step != FileStep::certificate_copy || ++blocks == 2) ? error : 0;
        });
        const CertificateOutcome got =
            attach_certificate(env.dir(), "N-1", day, env.path("cal.pdf"));
        QVERIFY(!got.ok);
        QCOMPARE(got.reason, QString::fromLocal8Bit(std::strerror(error)));
        QCOMPARE(everything_under(env, "certificates"), QStringList({"N-1", "N-1/2026-12-05"}));
    }

    // The session's set is made first when it has none, and a second certificate of the
    // name goes beside the first in it; a move that fails leaves the certificate in place.
    void removal_moves_into_the_session_set()
    {
        TestEnv env;
        put(env, "products.dat", "p");
        SessionBackup backup(env.dir(), {{"products.dat"}});
        const QString folder = "certificates/" + certificate_folder_name("A/7") + "/2026-12-05/";
        put(env, folder + "a.pdf", "first");
        QVERIFY(move_certificate_to_backup(backup, env.dir(), "A/7", day, "a.pdf").ok);
        const QString set = "backups/" + backup.set_name() + "/";
        QCOMPARE(env.read_file(set + "products.dat"), "p");
        put(env, folder + "a.pdf", "second");
        set_file_fault([](FileStep at, const QString &) {
            return at == FileStep::certificate_move ? EXDEV : 0;
        });
        const CertificateOutcome refused =
            move_certificate_to_backup(backup, env.dir(), "A/7", day, "a.pdf");
        QCOMPARE(refused.reason, QString::fromLocal8Bit(std::strerror(EXDEV)));
        QCOMPARE(env.read_file(folder + "a.pdf"), "second");
        set_file_fault({});
        const CertificateOutcome moved =
            move_certificate_to_backup(backup, env.dir(), "A/7", day, "a.pdf");
        QCOMPARE(moved.sha256, sha256_hex("second"));
        QCOMPARE(everything_under(env, set + folder), QStringList({"a (2).pdf", "a.pdf"}));
        QCOMPARE(env.read_file(set + folder + "a (2).pdf"), "second");
        QCOMPARE(certificates_of(env.dir(), "A/7", day), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCertificates)
#include "tst_certificates.moc"
