#pragma once

// Where the language chosen in an installer is kept when the installer file
// itself cannot keep it (a read-only medium, a file owned by someone else):
// one line per installer in $XDG_CONFIG_HOME/brenvik/language (else
// ~/.config/brenvik/language), found by the installer's signature and the
// product's name. oLocalize reads and writes it; a choice that the file's own
// "language" attribute could take removes the line again, so the line only
// ever holds the latest choice.

#include <optional>
#include <string>

class LanguageChoice {
public:
    // The installer this process runs: its signature and product name. Until
    // a key is set, nothing is read or written here.
    static void SetKey(const char* signature, const char* productName);
    static bool HasKey();

    // The choice kept for the current key.
    static std::optional<std::string> Read();
    // Keeps `code` for the current key, replacing an earlier choice; false
    // when the file cannot be written.
    static bool Write(const char* code);
    // Forgets the choice of the current key.
    static void Remove();

    // The file's path: brenvik/language in the XDG configuration folder
    // (StorageScope::XdgFolder).
    static std::string Path();
};
