// brenvik-build PROJECT.json -o OUT [--sign KEYFILE] [--installer PROGRAM]
//               [--deinstaller PROGRAM]
// brenvik-build --new-key KEYFILE "PUBLISHER NAME"
//
// The authoring tool: writes the installer executable OUT for the installer
// project PROJECT.json (docs/project-format.md), signed with the publisher's
// key when --sign names one. Every problem of the project is reported with
// its JSON path, and nothing is written then. --new-key makes a publisher's
// key pair (SigningKey.h).

#include "InstallerBuilder.h"

#include <Ed25519.h>
#include <InstallerSignature.h>
#include <SigningKey.h>

#include <cstdio>
#include <cstring>
#include <malloc.h>

namespace {

int Usage()
{
    std::fprintf(stderr,
        "usage: brenvik-build PROJECT.json -o OUT [--sign KEYFILE] [--installer PROGRAM] "
        "[--deinstaller PROGRAM]\n"
        "       brenvik-build --new-key KEYFILE \"PUBLISHER NAME\"\n");
    return 2;
}

int NewKey(const char* keyPath, const char* publisher)
{
    std::string error;
    if (brenvik::WriteNewSigningKey(keyPath, publisher, &error) != B_OK) {
        std::fprintf(stderr, "brenvik-build: %s\n", error.c_str());
        return 1;
    }
    InstallerSignature::Signer signer;
    brenvik::ReadSigningKey(keyPath, &signer, &error);
    std::printf("brenvik-build: wrote %s (private: keep it safe) and %s.pub\n"
                "key fingerprint: %s\n",
        keyPath, keyPath,
        InstallerSignature::ShownFingerprint(BPrivate::Ed25519::PublicKeyOf(signer.seed), true)
            .c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // The zip writer takes and frees a compressor's state for every file.
    // With the C library's default thresholds each goes back to the kernel
    // and is fetched and cleared again: a fifth of the time of building an
    // item of many files.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    if (argc >= 2 && std::strcmp(argv[1], "--new-key") == 0)
        return argc == 4 ? NewKey(argv[2], argv[3]) : Usage();
    brenvik::BuildOptions options;
    for (int i = 1; i < argc; i++) {
        bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "-o") == 0 && hasValue)
            options.output = argv[++i];
        else if (std::strcmp(argv[i], "--installer") == 0 && hasValue)
            options.installerProgram = argv[++i];
        else if (std::strcmp(argv[i], "--deinstaller") == 0 && hasValue)
            options.deinstallerProgram = argv[++i];
        else if (std::strcmp(argv[i], "--sign") == 0 && hasValue)
            options.signingKey = argv[++i];
        else if (argv[i][0] != '-' && options.projectFile.empty())
            options.projectFile = argv[i];
        else
            return Usage();
    }
    if (options.projectFile.empty() || options.output.empty())
        return Usage();

    brenvik::InstallerBuilder builder;
    status_t status = builder.Build(options);
    for (const brenvik::ProjectProblem& note : builder.Notes()) {
        std::fprintf(stderr, "%s: %s: note: %s\n", options.projectFile.c_str(), note.path.c_str(),
            note.text.c_str());
    }
    for (const brenvik::ProjectProblem& problem : builder.Problems()) {
        std::fprintf(stderr, "%s: %s: %s\n", options.projectFile.c_str(), problem.path.c_str(),
            problem.text.c_str());
    }
    if (status != B_OK) {
        if (!builder.ErrorText().empty())
            std::fprintf(stderr, "brenvik-build: %s\n", builder.ErrorText().c_str());
        else
            std::fprintf(stderr, "brenvik-build: %zu problem(s) in the project; nothing written\n",
                builder.Problems().size());
        return 1;
    }
    if (options.signingKey.empty())
        std::printf("brenvik-build: wrote %s (unsigned)\n", options.output.c_str());
    else
        std::printf("brenvik-build: wrote %s, signed by %s\n", options.output.c_str(),
            builder.Publisher().c_str());
    return 0;
}
