#pragma once

// What the de-installer is to remove: its own configuration record (resource
// 2002 of its file, written by the installer that extracted it) names the
// product and the install record of the installation.

#include <string>

#include <Message.h>
#include <SupportDefs.h>

class KolvastTarget {
public:
    // Reads the configuration record of the program file at `path`.
    status_t SetToProgram(const std::string& path);
    // Uses an install record directly (the configuration is then taken from
    // its header).
    status_t SetToRecord(const std::string& journalPath);

    const BMessage& Configuration() const { return fConfiguration; }
    const std::string& RecordPath() const { return fRecordPath; }
    // The product as the window and the report name it.
    std::string AppName() const;
    std::string Version() const;
    std::string Company() const;
    // The language the installer ran in (the file's "language" attribute,
    // else the configuration's field, else the record's).
    const std::string& Language() const { return fLanguage; }
    // "user" or "system", from the record.
    const std::string& Scope() const { return fScope; }
    // Why the target could not be found, in words.
    const std::string& Error() const { return fError; }

private:
    status_t ReadRecordHeader();

    BMessage fConfiguration;
    std::string fRecordPath;
    std::string fLanguage;
    std::string fScope;
    std::string fError;
};
