#include "store/file_faults.h"

#include <QFileInfo>

namespace durnmoor {

namespace {
FileFault file_fault;
}

void set_file_fault(FileFault fault)
{
    file_fault = std::move(fault);
}

int planted_fault(FileStep step, const QString &path)
{
    return file_fault ? file_fault(step, QFileInfo(path).fileName()) : 0;
}

} // namespace durnmoor
