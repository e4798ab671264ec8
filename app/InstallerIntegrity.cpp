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

std::string PartName(const InstallerManifest::Verdict& verdict, oLocalize& texts)
{
    using namespace InstallerFormat;
    if (verdict.program)
        return Text(texts, TextId::kDamagedProgram);
    const InstallerManifest::Part& part = verdict.part;
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

InstallerTrust CheckInstaller(const std::string& installerPath, oLocalize& texts)
{
    InstallerTrust trust;
    std::unique_ptr<LibAppResource> resources = installerPath.empty()
        ? std::make_unique<LibAppResource>(uint32(0))
        : std::make_unique<LibAppResource>(installerPath.c_str(), uint32(0));
    InstallerManifest::Verdict verdict;
    if (resources->InitCheck() == B_OK)
        verdict = InstallerManifest::Check(*resources);
    else
        verdict.what = InstallerManifest::Verdict::kDamaged;
    if (verdict.what != InstallerManifest::Verdict::kWhole) {
        // Without a table of contents nothing shows the installer whole.
        if (verdict.what == InstallerManifest::Verdict::kNoManifest
            || resources->InitCheck() != B_OK) {
            verdict.part.type = InstallerFormat::kManifestType;
            verdict.part.id = InstallerFormat::kManifestId;
        }
        trust.problem = Formatted(texts, TextId::kInstallerDamaged, PartName(verdict, texts));
        return trust;
    }
    trust.seal = InstallerSignature::Check(*resources);
    if (trust.seal.what == InstallerSignature::Seal::kBadSignature)
        trust.problem = Text(texts, TextId::kBadSignature);
    return trust;
}

std::string SignatureLine(const InstallerSignature::Seal& seal, oLocalize& texts)
{
    if (seal.what != InstallerSignature::Seal::kSigned)
        return Text(texts, TextId::kUnsigned);
    return FormatWithTexts(static_cast<const char*>(texts.GetFormat(TextId::kSignedBy)),
        { seal.publisher, InstallerSignature::ShownFingerprint(seal.publicKey) });
}

std::string RequiredKeyProblem(
    const InstallerSignature::Seal& seal, const std::string& wanted, oLocalize& texts)
{
    if (wanted.empty()
        || (seal.what == InstallerSignature::Seal::kSigned
            && InstallerSignature::FingerprintNames(wanted, seal.publicKey)))
        return std::string();
    return FormatWithTexts(static_cast<const char*>(texts.GetFormat(TextId::kNotRequiredKey)),
        { wanted, SignatureLine(seal, texts) });
}
