#pragma once

#include <QString>

#include <functional>

namespace durnmoor {

// The steps of reading and rewriting a data file, for tests that make one of them fail.
// exchange is the swap of names of a change to two files (planted as EINVAL it is refused
// as by a file system that cannot do it); put_back is putting the first file back when
// the second could not be renamed. append and sync_append are adding a line to a file that
// is only ever appended to, and flushing it. The backup_ steps make a backup set: its
// folder (named by its temporary name), the copy of a file into it, its contents shared or
// copied within the kernel (planted as EXDEV it is refused as by a file system that can do
// neither) and the copy's flush (named by the file), and the set's rename once complete
// (named by the set). The certificate_ steps attach a certificate: the copy under its
// temporary name (asked before each block, named by the temporary name), its flush and its
// rename to its own name (named by that name); certificate_move moves one into a backup set
// (named by the certificate).
enum class FileStep {
    open,
    read,
    lock,
    remove_twin,
    create_twin,
    write_twin,
    sync_twin,
    rename,
    exchange,
    put_back,
    append,
    sync_append,
    backup_folder,
    backup_copy,
    backup_share,
    backup_sync,
    backup_rename,
    certificate_copy,
    certificate_sync,
    certificate_rename,
    certificate_move
};

// Tests make a step fail as the system would, with an error number; 0 lets it run.
// The hook is told the step and the name of the file it works on ("products2.dat").
using FileFault = std::function<int(FileStep step, const QString &file_name)>;
void set_file_fault(FileFault fault);
// The error a test has planted for this step and file, or 0.
int planted_fault(FileStep step, const QString &path);

} // namespace durnmoor
