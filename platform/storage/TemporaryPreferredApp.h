#pragma once

// A type's preferred application for as long as the object lives: for a
// program that must not leave a lasting entry in the type store (one started
// once, from wherever it was downloaded to). On destruction the type's
// record is as it was before: removed, with the store folders made for it,
// when it did not exist.

#include <Mime.h>

#include <map>
#include <string>
#include <vector>

namespace BPrivate {

class TemporaryPreferredApp {
public:
    TemporaryPreferredApp(const char* type, const char* signature);
    ~TemporaryPreferredApp();
    TemporaryPreferredApp(const TemporaryPreferredApp&) = delete;
    TemporaryPreferredApp& operator=(const TemporaryPreferredApp&) = delete;

private:
    std::string fType;
    std::string fFile;
    bool fExisted = false;
    std::map<std::string, std::vector<std::string>> fBefore;
    // Folders the registration made, innermost first.
    std::vector<std::string> fMadeFolders;
    bool fWritten = false;
};

} // namespace BPrivate
