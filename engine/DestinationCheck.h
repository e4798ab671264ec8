#pragma once

// Whether an installation can be made in a destination folder, asked before
// the pass writes anything (by the window as the user chooses, and by the
// pass when it cannot make its folder): the folder, or the nearest folder
// above it that exists when it is still to be made, must be a folder the
// user may write in, on a file system that takes writing.

#include <string>
#include <vector>

class BMessage;

namespace DestinationCheck {

// "" when files can be made in `folder`; otherwise why not ("Permission
// denied", "Read-only file system", "Not a directory"), with the folder that
// stops it in *blocking (`folder` itself, or the nearest one above it that
// exists, or what stands in its place).
std::string Problem(const std::string& folder, std::string* blocking);

// The folders outside the installation folder that files of the ticked
// items go to: their own destinations (custom folders, standard folders)
// and the folders their links are made in; each once, in item order.
// `ticked` says for each "install_file" of the configuration's
// "install_instructions" whether it is to be installed.
std::vector<std::string> OtherFolders(
    const BMessage& configuration, const std::vector<bool>& ticked);

} // namespace DestinationCheck
