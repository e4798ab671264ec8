#pragma once

// InstallerDialogs: the questions and message boxes of the install pass as
// the installer window shows them: the library's message boxes for errors
// and information, and the replace dialog, with its own texts in the
// installer's language, for collisions. The pass calls them on its worker
// thread; each waits there for the answer while the windows go on.
//
// The window hands one to its configuration (InstallConfig::SetDialogs)
// before it starts a pass.

#include <InstallServices.h>

#include <string>
#include <utility>

class InstallerDialogs : public PlatformDialogs {
public:
    // `title` names the replace dialog's window: the product's name.
    explicit InstallerDialogs(std::string title = std::string())
        : fTitle(std::move(title))
    {
    }

    void Error(const std::string& text) override;
    void Info(const std::string& text) override;
    ReplaceAnswer AskReplace(const std::string& newItem, const std::string& newItemFolder,
        const std::string& existingItem, bool offerApplyToAll,
        const std::string& language) override;

private:
    std::string fTitle;
};
