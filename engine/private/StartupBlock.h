#pragma once

// The start-up folder block: the shell text that the install pass puts into
// UserBootscript under the tag "StartUpFolder", so that whatever lies in the
// StartUp folder starts with each desktop session.
//
// Items with the attribute "run_priority" (a 32-bit integer, stored as an
// extended attribute like every attribute) start first, lowest number first, items of
// equal priority together; one second later all other items start. Every
// item starts in the background with standard input from /dev/null. Only
// regular executable files (and links to them) are started; folders,
// documents and anything else in the folder are left alone.
//
// The body is plain POSIX sh. It reads priorities with getfattr when that
// program is installed (package "attr") and otherwise starts every item as
// one without a priority. It never writes a file, and no file name is ever
// parsed as text or becomes part of a command: names with blanks, quotes or
// "$(...)" are only ever expanded inside double quotes.

#include <string>

class StartupBlock {
public:
    // The block for a StartUp folder; supportEmail goes into the header.
    static std::string Build(const std::string& folder, const std::string& supportEmail);

    // The comment header alone (17 lines).
    static std::string Header(const std::string& supportEmail);
};
