#include "InstallerDialogs.h"

#include <Path.h>

#include <LibMessageBox.h>

#include <ReplaceAlert.h>

void InstallerDialogs::Error(const std::string& text)
{
    LibError("%s", text.c_str());
}

void InstallerDialogs::Info(const std::string& text)
{
    LibInfo("%s", text.c_str());
}

ReplaceAnswer InstallerDialogs::AskReplace(const std::string& newItem,
    const std::string& newItemFolder, const std::string& existingItem, bool offerApplyToAll,
    const std::string& language)
{
    ReplaceAlert::Answer answer
        = ReplaceAlert::Ask(BPath(newItem.c_str()), BPath(existingItem.c_str()), offerApplyToAll,
            language.c_str(), newItemFolder.c_str(), fTitle.c_str());
    ReplaceAnswer result;
    // Only "Replace" replaces: a dialog that went away unanswered (the
    // program quits) keeps the existing item.
    result.replace = answer.button == ReplaceAlert::kReplace;
    result.applyToAll = answer.button >= 0 && answer.applyToAll;
    return result;
}
