#include "InstallerIntegrity.h"

#include <CompletionDialogs.h>
#include <InstallerFormat.h>
#include <InstallerManifest.h>
#include <LibAppResource.h>
#include <TextIds.h>
#include <oLocalize.h>

#include <memory>

namespace {

std::string Text(oLocalize& texts, int32 id)
{
    return static_cast<const char*>(texts.GetText(id));
}

std::string Formatted(oLocalize& texts, int32 id, const std::string& argument)
{
    return FormatWithText(static_cast<const char*>(texts.GetFormat(id)), argument);
}

std::string PartName(const InstallerManifest::Part& part, oLocalize& texts)
{
    using namespace InstallerFormat;
    if (part.type == kManifestType && part.id == kManifestId)
        return Text(texts, TextId::kDamagedManifest);
    if (part.type == kConfigurationType && part.id == kConfigurationId)
        return Text(texts, TextId::kDamagedRecord);
    if (part.type == kEntryType && part.id == kDeinstallerId)
        return Text(texts, TextId::kDamagedDeinstaller);
    if (part.type == kEntryType && part.id >= kFirstPayloadId)
        return Formatted(
            texts, TextId::kDamagedPayload, std::to_string(part.id - kFirstPayloadId + 1));
    if (part.type == B_STRING_TYPE && part.name.find(':') != std::string::npos)
        return Text(texts, TextId::kDamagedTexts);
    return Formatted(
        texts, TextId::kDamagedOther, part.name.empty() ? std::to_string(part.id) : part.name);
}

} // namespace

std::string InstallerDamage(const std::string& installerPath, oLocalize& texts)
{
    std::unique_ptr<LibAppResource> resources = installerPath.empty()
        ? std::make_unique<LibAppResource>(uint32(0))
        : std::make_unique<LibAppResource>(installerPath.c_str(), uint32(0));
    InstallerManifest::Verdict verdict;
    if (resources->InitCheck() == B_OK)
        verdict = InstallerManifest::Check(*resources);
    else
        verdict.what = InstallerManifest::Verdict::kDamaged;
    if (verdict.what == InstallerManifest::Verdict::kWhole)
        return std::string();
    // Without a table of contents nothing shows the installer whole.
    if (verdict.what == InstallerManifest::Verdict::kNoManifest || resources->InitCheck() != B_OK) {
        verdict.part.type = InstallerFormat::kManifestType;
        verdict.part.id = InstallerFormat::kManifestId;
    }
    return Formatted(texts, TextId::kInstallerDamaged, PartName(verdict.part, texts));
}
