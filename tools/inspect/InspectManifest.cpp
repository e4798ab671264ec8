// brenvik-inspect manifest FILE: lists an installer's table of contents (the
// digest of its program and of each resource), checks every part against it,
// and says whether the installer is signed, by whom, and whether the
// signature holds. Exits 0 when the installer is whole and any signature
// holds, 1 otherwise.

#include "Inspect.h"

#include <cstdio>

#include <Resources.h>

#include <InstallerManifest.h>
#include <InstallerSignature.h>

namespace inspect {

namespace {

std::string PartText(const InstallerManifest::Part& part)
{
    return TypeText(part.type) + " " + std::to_string(part.id)
        + (part.name.empty() ? std::string() : " \"" + part.name + "\"");
}

} // namespace

int InspectManifest(int argc, char** argv)
{
    if (argc != 1)
        return kExitUsage;
    const char* path = argv[0];
    BResources resources;
    if (resources.SetTo(path, 0, false) != B_OK)
        return Fail(path,
            resources.ErrorText()[0] != '\0' ? resources.ErrorText() : "cannot read the resources");
    std::string text;
    InstallerManifest::Listing listing;
    if (!InstallerManifest::ReadText(resources, &text))
        return Fail(path, "no table of contents: not an installer, or one made before they were");
    if (!InstallerManifest::Parse(text, &listing))
        return Fail(path, "the table of contents is damaged");

    std::printf("Table of contents of %s\n", path);
    std::printf("  %-64s  program\n", listing.programDigest.c_str());
    for (const InstallerManifest::Entry& entry : listing.entries)
        std::printf("  %-64s  %s\n", entry.digest.c_str(), PartText(entry.part).c_str());
    std::printf("  %-64s  (the table itself)\n", listing.digest.c_str());

    int status = kExitOk;
    InstallerManifest::Verdict verdict = InstallerManifest::Check(resources);
    if (verdict.what == InstallerManifest::Verdict::kWhole) {
        std::printf("Whole: every part matches.\n");
    } else {
        std::printf("Damaged: %s does not match.\n",
            verdict.program ? "the program" : PartText(verdict.part).c_str());
        status = kExitFailure;
    }
    InstallerSignature::Seal seal = InstallerSignature::Check(resources);
    switch (seal.what) {
    case InstallerSignature::Seal::kUnsigned:
        std::printf("Unsigned.\n");
        break;
    case InstallerSignature::Seal::kSigned:
        std::printf("Signed by %s, key %s; the signature holds.\n", seal.publisher.c_str(),
            InstallerSignature::ShownFingerprint(seal.publicKey, true).c_str());
        break;
    case InstallerSignature::Seal::kBadSignature:
        std::printf("Signed by %s, key %s; the signature does NOT hold.\n",
            seal.publisher.empty() ? "(unreadable)" : seal.publisher.c_str(),
            seal.publicKey.empty()
                ? "(unreadable)"
                : InstallerSignature::ShownFingerprint(seal.publicKey, true).c_str());
        status = kExitFailure;
        break;
    }
    return status;
}

} // namespace inspect
