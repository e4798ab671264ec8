#include "KolvastTarget.h"

#include <Resources.h>

#include <InstallRecord.h>
#include <InstallRecordReader.h>
#include <InstallerFormat.h>
#include <LibNode.h>
#include <LibString.h>

namespace Field = InstallerFormat::Field;
using InstallerFormat::kLanguageAttribute;
using InstallerFormat::ReadConfiguration;

status_t KolvastTarget::SetToProgram(const std::string& path)
{
    BResources resources;
    status_t status = resources.SetTo(path.c_str(), 0, false);
    if (status == B_OK)
        status = ReadConfiguration(resources, &fConfiguration);
    if (status != B_OK) {
        fError = "this de-installer carries no configuration: it belongs to no installation";
        return status;
    }
    fRecordPath = fConfiguration.GetString(InstallRecord::kConfigRecordPath, "");
    if (fRecordPath.empty()) {
        fError = "the configuration names no install record";
        return B_ENTRY_NOT_FOUND;
    }
    LibString language;
    if (LibNode(path.c_str()).ReadStringAttr(kLanguageAttribute, language) > 0)
        fLanguage = static_cast<const char*>(language);
    if (fLanguage.empty())
        fLanguage = fConfiguration.GetString(InstallRecord::kFieldLanguage, "");
    return ReadRecordHeader();
}

status_t KolvastTarget::SetToRecord(const std::string& journalPath)
{
    fRecordPath = journalPath;
    return ReadRecordHeader();
}

status_t KolvastTarget::ReadRecordHeader()
{
    InstallRecordReader record;
    status_t status = record.ReadHeader(fRecordPath.c_str());
    if (status != B_OK) {
        fError = "the install record " + fRecordPath
            + " cannot be read: the product may have been removed already";
        return status;
    }
    const BMessage& header = record.Header();
    for (const char* field : { Field::kAppName, Field::kVersion, Field::kCompany }) {
        if (!fConfiguration.HasString(field))
            fConfiguration.AddString(field, header.GetString(field, ""));
    }
    if (fLanguage.empty())
        fLanguage = header.GetString(InstallRecord::kFieldLanguage, "");
    fScope = header.GetString(InstallRecord::kFieldScope, "");
    return B_OK;
}

std::string KolvastTarget::AppName() const
{
    return fConfiguration.GetString(Field::kAppName, "");
}

std::string KolvastTarget::Version() const
{
    return fConfiguration.GetString(Field::kVersion, "");
}

std::string KolvastTarget::Company() const
{
    return fConfiguration.GetString(Field::kCompany, "");
}
