#include "InstallerBuilder.h"

#include <ProjectInput.h>
#include <SigningKey.h>

#include <AppFileInfo.h>
#include <AtomicFile.h>
#include <Descriptor.h>
#include <Ed25519.h>
#include <ExecutablePath.h>
#include <File.h>
#include <GenericIcons.h>
#include <Mime.h>
#include <Roster.h>
#include <TypeConstants.h>

#include <InstallerFormat.h>
#include <InstallerManifest.h>
#include <InstallerSignature.h>
#include <LibAppResource.h>
#include <LocalizedTextTable.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace brenvik {

namespace {

namespace fs = std::filesystem;
using namespace InstallerFormat;

constexpr int32 kDefaultLevel = 6;
constexpr size_t kCopyChunk = 256 * 1024;

// Copies the installer program's bytes into the new installer. On failure
// errno tells why.
status_t CopyProgram(const std::string& path, int target)
{
    BPrivate::Descriptor source(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.IsValid())
        return StatusFromErrno(errno);
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        ssize_t length = read(source.Get(), buffer.data(), buffer.size());
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0)
            return StatusFromErrno(errno);
        if (length == 0)
            return B_OK;
        status_t status = BPrivate::WriteAll(target, buffer.data(), size_t(length));
        if (status != B_OK)
            return status;
    }
}

// The installer and the de-installer are built beside brenvik-build.
std::string BesideThisTool(const char* leaf)
{
    std::string self;
    if (BPrivate::GetExecutablePath(&self) != B_OK)
        return leaf;
    return (fs::path(self).parent_path() / leaf).string();
}

} // namespace

std::string InstallerBuilder::Publisher() const
{
    if (fSigner.seed.empty())
        return std::string();
    return fSigner.publisher + ", key "
        + InstallerSignature::ShownFingerprint(BPrivate::Ed25519::PublicKeyOf(fSigner.seed));
}

status_t InstallerBuilder::Fail(status_t status, std::string text)
{
    fErrorText = std::move(text);
    return status;
}

status_t InstallerBuilder::Build(const BuildOptions& options)
{
    fOptions = options;
    fProblems.clear();
    fNotes.clear();
    fErrorText.clear();
    if (fOptions.installerProgram.empty())
        fOptions.installerProgram = BesideThisTool("brenvik-installer");
    if (fOptions.deinstallerProgram.empty())
        fOptions.deinstallerProgram = BesideThisTool("brenvik-kolvast");

    // Two builds of one project are the same bytes; where the sources are
    // later than SOURCE_DATE_EPOCH, their times are held to it.
    std::string epochError;
    if (!ParseSourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), &fLatestTime, &epochError))
        return Fail(B_BAD_VALUE, epochError);
    ProjectConfig project = LoadProjectConfig(fOptions.projectFile, fLatestTime);
    fNotes = project.notes;
    if (!project.IsValid()) {
        fProblems = project.problems;
        return B_BAD_VALUE;
    }
    status_t checked = CheckOutput(project);
    if (checked != B_OK)
        return checked;
    fSigner = InstallerSignature::Signer();
    if (!fOptions.signingKey.empty()) {
        std::string error;
        if ((checked = ReadSigningKey(fOptions.signingKey, &fSigner, &error)) != B_OK)
            return Fail(checked, error);
    }
    // The installer is assembled beside its final place and renamed over it
    // when complete, so that a failed build never leaves half an installer.
    BPrivate::AtomicFile output;
    if (output.Open(fOptions.output, 0755) != B_OK)
        return Fail(B_ERROR,
            "cannot create a file beside \"" + fOptions.output + "\": " + std::strerror(errno));
    status_t status = CopyProgram(fOptions.installerProgram, output.Descriptor());
    if (status != B_OK)
        return Fail(status,
            "cannot copy the installer program \"" + fOptions.installerProgram
                + "\": " + std::strerror(errno));
    const std::string& partial = output.TemporaryPath();
    status = WriteApplicationInfo(partial);
    if (status == B_OK)
        status = WriteResources(partial, project);
    if (status != B_OK)
        return status;
    if (output.Commit() != B_OK)
        return Fail(B_ERROR, "cannot write \"" + fOptions.output + "\": " + std::strerror(errno));
    return B_OK;
}

// The installer replaces whatever is at the output's path: never one of the
// build's own inputs, and never a place inside a payload folder, which
// would then be packed into itself.
status_t InstallerBuilder::CheckOutput(const ProjectConfig& project)
{
    const std::string& output = fOptions.output;
    std::vector<std::pair<std::string, std::string>> inputs
        = { { fOptions.projectFile, "the project file" },
              { fOptions.installerProgram, "the installer program" },
              { fOptions.deinstallerProgram, "the de-installer program" } };
    struct stat out, in;
    bool exists = stat(output.c_str(), &out) == 0;
    for (auto& [path, what] : inputs) {
        if (IsAtOrBelow(output, path)
            || (exists && stat(path.c_str(), &in) == 0 && in.st_dev == out.st_dev
                && in.st_ino == out.st_ino))
            return Fail(B_NOT_ALLOWED,
                "the output \"" + output + "\" is " + what + "; it would be overwritten");
    }
    for (size_t i = 0; i < project.payload.size(); i++) {
        const std::string& source = project.payload[i].source;
        if (IsAtOrBelow(output, source))
            return Fail(B_NOT_ALLOWED,
                "the output \"" + output + "\" is payload item " + std::to_string(i) + " (\""
                    + source + "\") or lies inside it");
    }
    return B_OK;
}

status_t InstallerBuilder::WriteApplicationInfo(const std::string& path)
{
    BFile file(path.c_str(), B_READ_WRITE);
    BAppFileInfo info(&file);
    status_t status = info.InitCheck();
    BMessage types;
    types.AddString("types", kDocumentType);
    version_info version = { kVersionMajor, kVersionMiddle, kVersionMinor, kVersionVariety,
        kVersionInternal, {}, {} };
    std::strncpy(version.short_info, kVersionShortText, sizeof(version.short_info) - 1);
    std::strncpy(version.long_info, kVersionLongText, sizeof(version.long_info) - 1);
    uint8 large[IconBytes(B_LARGE_ICON)];
    uint8 mini[IconBytes(B_MINI_ICON)];
    BPrivate::GenericIcon(BPrivate::kApplicationIcon, B_LARGE_ICON, large);
    BPrivate::GenericIcon(BPrivate::kApplicationIcon, B_MINI_ICON, mini);
    // Stored as resources only: they belong to the program, and would not
    // survive a copy as attributes anyway.
    info.SetInfoLocation(B_USE_RESOURCES);
    if (status == B_OK)
        status = info.SetSignature(kInstallerSignature);
    if (status == B_OK)
        status = info.SetType(B_APP_MIME_TYPE);
    if (status == B_OK)
        status = info.SetAppFlags(B_SINGLE_LAUNCH);
    if (status == B_OK)
        status = info.SetSupportedTypes(&types);
    if (status == B_OK)
        status = info.SetVersionInfo(&version, B_APP_VERSION_KIND);
    if (status == B_OK)
        status = info.SetIconData(B_LARGE_ICON, large);
    if (status == B_OK)
        status = info.SetIconData(B_MINI_ICON, mini);
    if (status != B_OK)
        return Fail(status,
            "cannot write the application information into \"" + path + "\" (status "
                + std::to_string(status) + ")");
    return B_OK;
}

status_t InstallerBuilder::WriteResources(const std::string& path, ProjectConfig& project)
{
    LibAppResource resources(path.c_str(), 2);
    status_t status = resources.InitCheck();
    if (status != B_OK)
        return Fail(status, "cannot open \"" + path + "\": " + resources.ErrorText());

    // The document type's icons, under the names the platform gives them.
    uint8 large[IconBytes(B_LARGE_ICON)];
    uint8 mini[IconBytes(B_MINI_ICON)];
    BPrivate::GenericIcon(BPrivate::kDocumentIcon, B_LARGE_ICON, large);
    BPrivate::GenericIcon(BPrivate::kDocumentIcon, B_MINI_ICON, mini);
    std::string typeName = kDocumentType;
    resources.AddResource('ICON', 0, large, sizeof(large), ("BEOS:L:" + typeName).c_str());
    resources.AddResource('MICN', 0, mini, sizeof(mini), ("BEOS:M:" + typeName).c_str());

    if ((status = LocalizedTextTable::AddToResources(resources)) != B_OK)
        return Fail(status, std::string("cannot store the user texts: ") + resources.ErrorText());

    BMessage& configuration = project.configuration;
    int32 level = configuration.GetInt32(Field::kCompression, kDefaultLevel);
    BPrivate::ZipWriteOptions entryOptions = LibAppResource::EntryOptions(level);
    entryOptions.latestTime = fLatestTime;
    // The de-installer's mode is that of this tool's own build (its umask),
    // not the product's; the installation makes it 0755 in any case.
    BPrivate::ZipWriteOptions deinstallerOptions = entryOptions;
    deinstallerOptions.permissions = 0755;
    if (!resources.AddEntry(fOptions.deinstallerProgram.c_str(), kDeinstallerId, kDeinstallerName,
            deinstallerOptions))
        return Fail(B_ERROR, "the de-installer: " + resources.EntryErrorText());
    // The window counts the de-installer into the size of an installation.
    std::error_code error;
    uintmax_t deinstallerSize = fs::file_size(fOptions.deinstallerProgram, error);
    RecordWriter writer(configuration, Record::kConfiguration);
    SetDeinstallerSize(writer, error ? 0 : uint64(deinstallerSize));

    if ((status = WriteConfiguration(resources, configuration)) != B_OK)
        return Fail(
            status, std::string("cannot store the configuration record: ") + resources.ErrorText());

    for (size_t i = 0; i < project.payload.size(); i++) {
        const PayloadItem& item = project.payload[i];
        if (!resources.AddEntry(
                item.source.c_str(), PayloadId(int32(i)), item.leaf.c_str(), entryOptions))
            return Fail(
                B_ERROR, "payload item " + std::to_string(i) + ": " + resources.EntryErrorText());
    }
    // Last: the table of contents of everything above.
    if ((status = InstallerManifest::Write(resources)) != B_OK)
        return Fail(status, "cannot list the installer's parts in \"" + path + "\"");
    if (!fSigner.seed.empty() && (status = InstallerSignature::Sign(resources, fSigner)) != B_OK)
        return Fail(status, "cannot sign \"" + path + "\"");
    if ((status = resources.Sync()) != B_OK)
        return Fail(status, "cannot write \"" + path + "\": " + resources.ErrorText());
    return B_OK;
}

} // namespace brenvik
