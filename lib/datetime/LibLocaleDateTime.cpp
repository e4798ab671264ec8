#include "LibLocaleDateTime.h"

#include <Message.h>

LibLocaleDateTime::LibLocaleDateTime(void)
    : fSeparator(" ")
{
}

LibLocaleDateTime::LibLocaleDateTime(const LibLocaleDateTime& other) = default;

LibLocaleDateTime::~LibLocaleDateTime() = default;

LibLocaleDateTime& LibLocaleDateTime::operator=(const LibLocaleDateTime& other) = default;

void LibLocaleDateTime::PrintToStream() const
{
    LibLocaleDate::PrintToStream();
    LibLocaleTime::PrintToStream();
}

void LibLocaleDateTime::SetSeperator(const char* separator)
{
    fSeparator = separator;
}

LibString LibLocaleDateTime::Format(const LibDateTime& dateTime) const
{
    LibString text(LibLocaleDate::Format(dateTime));
    text.Concat(fSeparator);
    text.Concat(LibLocaleTime::Format(dateTime));
    return text;
}

status_t LibLocaleDateTime::Archive(BMessage& archive) const
{
    status_t status = archive.AddString("field_seperator", static_cast<const char*>(fSeparator));
    if (status == B_OK)
        status = LibLocaleDate::Archive(archive);
    if (status == B_OK)
        status = LibLocaleTime::Archive(archive);
    return status;
}

status_t LibLocaleDateTime::Restore(const BMessage& archive)
{
    const char* separator;
    if (archive.FindString("field_seperator", &separator) == B_OK)
        fSeparator = separator;
    status_t status = LibLocaleDate::Restore(archive);
    return status == B_OK ? LibLocaleTime::Restore(archive) : status;
}
