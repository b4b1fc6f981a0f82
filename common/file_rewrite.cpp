#include "common/file_rewrite.h"

#include "common/file_failure.h"

namespace durnmoor {

FileRewrite::FileRewrite(QWidget *parent, const DataFilePlace &place, const FileIdentity *kept)
    : parent_(parent), file_(DataFile::read_for_rewrite(place, kept))
{
    report_read_failure(parent_, file_, ReadPurpose::change);
}

bool FileRewrite::finish(std::string_view bytes)
{
    return report_write_failure(parent_, file_.replace(bytes));
}

bool FileRewrite::finish(const RecordRewrite &rewrite)
{
    return report_write_failure(parent_, replace_with(file_, rewrite));
}

void FileRewrite::refuse(const QString &reason)
{
    report_write_failure(parent_, {false, file_.file_name(), file_.file_name(), reason, {}});
}

PairWriteOutcome FileRewrite::finish_together(FileRewrite &first, std::string_view first_bytes,
                                              FileRewrite &second, std::string_view second_bytes)
{
    return replace_together(first.file_, first_bytes, second.file_, second_bytes);
}

} // namespace durnmoor
