// Where the data files live: the program's own folder, or the user's data folder of an
// installed copy; and where the user guide is found.
#include "app/data_file.h"
#include "app/data_folder.h"
#include "register/products_file.h"
#include "support/test_env.h"

#include <QDir>

using namespace durnmoor;
using durnmoor::test::TestEnv;

class DataFolderTest : public QObject {
    Q_OBJECT

private slots:
    void chooses_the_folder_of_the_data_files_data()
    {
        QTest::addColumn<QString>("copy");    // own, installed, or in a folder it cannot write
        QTest::addColumn<QByteArray>("kept"); // a register already in the user's folder
        QTest::newRow("own folder") << "own" << QByteArray();
        QTest::newRow("installed, first start") << "installed" << QByteArray();
        QTest::newRow("installed, register kept") << "installed" << QByteArray("1\r\nDMM\r\n");
        QTest::newRow("read-only, register kept") << "read-only" << QByteArray("1\r\nDMM\r\n");
    }
    void chooses_the_folder_of_the_data_files()
    {
        QFETCH(QString, copy);
        QFETCH(QByteArray, kept);
        TestEnv root;
        const QString program = root.path("bin"), user = root.path("home/Durnmoor");
        for (const char *folder : {"bin", copy == "installed" ? "share/durnmoor" : "share/other"})
            QDir(root.dir()).mkpath(folder);
        if (!kept.isEmpty() && QDir(root.dir()).mkpath("home/Durnmoor"))
            root.write_file("home/Durnmoor/products.dat", kept.toStdString());
        // Root writes anywhere, so a folder this user cannot write is the predicate's word.
        const QString chosen = copy == "read-only"
                                   ? choose_data_folder(program, user, [](auto &) { return false; })
                                   : choose_data_folder(program, user);
        QCOMPARE(chosen, copy == "own" ? program : user);
        QCOMPARE(QDir(user).exists(), copy != "own"); // made on first use only
        QCOMPARE(DataFile::read(products_file(chosen)).bytes(), kept.toStdString());
    }

    // The guide beside the data first, then among the shared files; the user's folder is named
    // once, not once for the organisation and again for the program.
    void finds_the_user_guide_and_the_user_folder()
    {
        TestEnv root;
        const QString data = root.path("data"), program = root.path("bin");
        QCOMPARE(find_user_guide(data, program), QString()); // none: nothing to open
        for (const char *folder : {"share/durnmoor", "data"}) {
            QDir(root.dir()).mkpath(folder);
            root.write_file(folder + QStringLiteral("/durn.rtf"), "{\\rtf1 }");
            QCOMPARE(find_user_guide(data, program),
                     root.path(folder + QStringLiteral("/durn.rtf")));
        }
        qputenv("XDG_DATA_HOME", QFile::encodeName(root.dir()));
        QCoreApplication::setApplicationName("Durnmoor");
        QCoreApplication::setOrganizationName("Durnmoor");
        QCOMPARE(user_data_folder(), root.path("Durnmoor"));
    }
};

QTEST_MAIN(DataFolderTest)
#include "tst_data_folder.moc"
