#pragma once

// oLocalize: the current language and the user texts in it. The language is a
// two-letter code kept as the "language" attribute (CSTR, no NUL) on the
// executable itself, so that a choice made once holds the next time the same
// installer file starts. Texts are the executable's CSTR resources named
// "<code>:<id>". Objects are cheap: make one where texts are needed.

#include <string>

#include <LibString.h>

#include "oResources.h"

class oLocalize {
public:
    // The running application's executable.
    oLocalize();
    // Our own: the executable at path (the authoring tool and tests use it
    // on an installer that is not the running program).
    explicit oLocalize(const char* executablePath);
    virtual ~oLocalize();

    // Sets the current code from the "language" attribute (or from the
    // user's settings, where a choice the file could not keep went), storing
    // "en" when the executable has none.
    void ObtainLanguage();
    // Makes code current and stores it in the attribute. When the executable
    // cannot take the attribute (a read-only medium, a file of another
    // owner), the choice is kept in the user's settings instead, found by the
    // key that the program gave LanguageChoice; when that cannot be written
    // either, it holds for the objects of this run only. Neither is an
    // error.
    void SetLanguage(const char* code);
    // Makes code current for the objects of this run only, without storing
    // it (a language asked for on the command line).
    void SetLanguageForRun(const char* code);
    // The text of id in the current language; empty when there is none.
    LibString GetString(const int32& id);
    // Our own: the text of id in the current language, or the English text
    // when the file carries none (an installer whose authoring did not
    // finish, or a configuration run on its own), so that a message is
    // never empty.
    LibString GetText(const int32& id);
    // Our own: the text of id for use as a printf format with the English
    // arguments. A text whose conversions do not fit them (a damaged or
    // hand-edited resource) is replaced by the English text, so that no
    // format ever reads an argument that was not passed; so is a missing one.
    LibString GetFormat(const int32& id);

    // The current code ("en", "fr", ...); empty without an executable.
    const LibString& Language() const { return fLanguage; }

private:
    void Init();

    oResources fResources;
    LibString fLanguage;
    std::string fExecutable;
};
