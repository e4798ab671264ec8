#pragma once

// Whether the installer is whole, checked before its first step (window,
// wizard, unattended run or extraction alike): every resource against the
// table of contents the authoring tool wrote (InstallerManifest). A damaged
// or altered installer says which part, and that it should be downloaded
// again, instead of failing half way through an installation.

#include <string>

class oLocalize;

// "" when the installer at installerPath (empty: the running executable) is
// whole; otherwise the message that names the damaged part, in `texts`'
// language.
std::string InstallerDamage(const std::string& installerPath, oLocalize& texts);
