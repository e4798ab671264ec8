// InstallConfig: the start-up folder block and the auto-launch at the end of
// the pass.

#include "InstallConfig.h"

#include "InstallCompletion.h"
#include "Maker.h"
#include "StartupBlock.h"

void InstallConfig::BuildStartupString(const char* folder, LibString& block) const
{
    block = StartupBlock::Build(folder != nullptr ? folder : "", kMakerSupportEmail).c_str();
}

std::vector<std::string> InstallConfig::AutoLaunch(InstallTexts& texts, CompletionDialogs& dialogs)
{
    InstallCompletion completion(*this, texts, dialogs, [this](const std::string& line) {
        if (fLog != nullptr)
            std::fputs(line.c_str(), fLog);
    });
    completion.AutoLaunch();
    return completion.Problems();
}
