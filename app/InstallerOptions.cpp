#include "InstallerOptions.h"

#include <InstallerSignature.h>
#include <LocalizedTextTable.h>

#include <cstring>

InstallerOptions InstallerOptions::Parse(int argc, const char* const* argv)
{
    InstallerOptions options;
    auto fail = [&options](const char* option) {
        options.wrong = option;
        return options;
    };
    for (int i = 1; i < argc; i++) {
        const char* option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool takesValue = true;
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            options.what = kHelp;
            takesValue = false;
        } else if (std::strcmp(option, "--version") == 0) {
            if (options.what != kHelp)
                options.what = kVersion;
            takesValue = false;
        } else if (std::strcmp(option, "--verify") == 0) {
            if (options.what != kHelp)
                options.what = kVerify;
            takesValue = false;
        } else if (std::strcmp(option, "--unattended") == 0) {
            if (options.what == kInteractive)
                options.what = kUnattended;
            takesValue = false;
        } else if (value == nullptr || value[0] == '\0') {
            return fail(option);
        } else if (std::strcmp(option, "--extract") == 0) {
            options.what = kExtract;
            options.extractFolder = value;
        } else if (std::strcmp(option, "--answers") == 0) {
            options.answersPath = value;
        } else if (std::strcmp(option, "--record-answers") == 0) {
            options.recordPath = value;
        } else if (std::strcmp(option, "--language") == 0) {
            if (LocalizedTextTable::LanguageIndex(value) < 0)
                return fail(value);
            options.language = value;
        } else if (std::strcmp(option, "--require-signature") == 0) {
            if (!InstallerSignature::IsFingerprint(value))
                return fail(value);
            options.requiredKey = value;
        } else if (std::strcmp(option, "--progress") == 0) {
            if (std::strcmp(value, "json") != 0 && std::strcmp(value, "text") != 0)
                return fail(value);
            options.jsonProgress = std::strcmp(value, "json") == 0;
        } else {
            return fail(option);
        }
        if (takesValue)
            i++;
    }
    // An unattended run has nothing to go by without its answers; answers
    // are for nothing else.
    if (options.what == kUnattended && options.answersPath.empty())
        return fail("--answers");
    if (!options.answersPath.empty() && options.what == kInteractive)
        options.what = kUnattended;
    if (options.what == kExtract && !options.recordPath.empty())
        return fail("--record-answers");
    return options;
}
