#pragma once

#include <QString>

#include <functional>

namespace durnmoor {

inline constexpr char user_guide_name[] = "durn.rtf";

// An installed copy keeps the program in <prefix>/bin and its shared files, the user guide
// among them, in <prefix>/share/durnmoor; the package and the install rules lay it out so.
inline constexpr char shared_files_from_program[] = "../share/durnmoor";

// The user's own folder for the data files of an installed copy: ~/.local/share/Durnmoor.
QString user_data_folder();

// True when the program's folder may hold the data files: a copy built or unpacked in a
// folder of its own that this user can write. An installed copy never may, even for a user
// who can write there: the folder is shared by every program and every user, and the
// package manager owns it.
bool program_folder_holds_data(const QString &program_dir);

// The folder every data file lives in: the program's own when it may hold them, otherwise
// the user's data folder, made on the first start for the user alone (0700). A folder that
// cannot be made is still returned, so that the data files report the failure where the
// user sees it.
QString choose_data_folder(
    const QString &program_dir, const QString &user_dir,
    const std::function<bool(const QString &)> &holds_data = program_folder_holds_data);

// The user guide: beside the data files first, then among the installed copy's shared
// files. Empty when there is none.
QString find_user_guide(const QString &data_folder, const QString &program_dir);

} // namespace durnmoor
