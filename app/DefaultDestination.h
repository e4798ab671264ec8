#pragma once

// Where an installation goes unless the user chooses otherwise: the
// configuration's "opt_default_folder", "Current" being the folder that
// holds the installer and any other value a standard folder of the current
// scope. The window and the terminal's wizard start from it.

#include <string>

class InstallConfig;

// The default destination's path, or "" when the configuration names none
// (or a folder that cannot be found). A standard folder that does not exist
// yet is given when the user may make it (the folders above it may be
// missing too, as ~/.local on a fresh account).
std::string DefaultDestination(const InstallConfig& config);
