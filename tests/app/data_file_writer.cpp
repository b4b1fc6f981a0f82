// A process that rewrites products.dat the way the program does, for the tests that kill
// writers part way or run two of them at once.
//   data_file_writer flip DIR       rewrite for ever, turning one known content into the other
//   data_file_writer count DIR N    N times: read the number in the file, write it plus one
#include "app/data_file.h"
#include "support/writer_contents.h"

#include <QDir>

#include <cstdio>
#include <cstring>
#include <string>

using namespace durnmoor;

int main(int argc, char *argv[])
{
    if (argc < 3)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    const DataFilePlace place{dir.filePath("products.dat"), dir.filePath("products2.dat")};
    if (std::strcmp(argv[1], "flip") == 0) {
        const std::string first = test::writer_content(0);
        const std::string second = test::writer_content(1);
        while (true) {
            DataFile file = DataFile::read_for_rewrite(place);
            if (!file.ok() || !file.replace(file.bytes() == first ? second : first).ok)
                return 1;
        }
    }
    if (std::strcmp(argv[1], "count") == 0 && argc == 4) {
        for (long n = std::atol(argv[3]); n > 0; --n) {
            DataFile file = DataFile::read_for_rewrite(place);
            if (!file.ok())
                return 1;
            const long value = std::atol(file.bytes().c_str());
            if (!file.replace(std::to_string(value + 1) + "\r\n").ok)
                return 1;
        }
        return 0;
    }
    return 2;
}
