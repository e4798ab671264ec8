#include "oLocalize.h"

#include "LanguageChoice.h"
#include "LocalizedTextTable.h"
#include "RunningExecutable.h"

#include <Errors.h>
#include <Node.h>
#include <TypeConstants.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>

namespace {

const char* const kLanguageAttribute = LocalizedTextTable::kLanguageAttribute;
const char* const kDefaultLanguage = "en";
// The attribute is read into a buffer of this size; a longer value is cut.
constexpr size_t kLanguageBufferSize = 62;

std::string ExecutableOfRunningApp()
{
    std::string path;
    if (RunningExecutable::GetPath(&path) != B_OK)
        path.clear();
    return path;
}

bool WriteLanguage(const std::string& executable, const char* code)
{
    BNode node(executable.c_str());
    size_t length = std::strlen(code);
    return node.InitCheck() == B_OK
        && node.WriteAttr(kLanguageAttribute, B_STRING_TYPE, 0, code, length) == ssize_t(length);
}

// Choices that neither the file nor the user's settings could keep, by
// executable: they hold for the rest of the run, so that every text of the
// program follows the user's choice at least until it ends.
std::mutex sSessionLock;
std::map<std::string, std::string> sSessionChoices;

std::optional<std::string> SessionChoice(const std::string& executable)
{
    std::lock_guard guard(sSessionLock);
    auto found = sSessionChoices.find(executable);
    if (found == sSessionChoices.end())
        return std::nullopt;
    return found->second;
}

void SetSessionChoice(const std::string& executable, const char* code)
{
    std::lock_guard guard(sSessionLock);
    if (code == nullptr)
        sSessionChoices.erase(executable);
    else
        sSessionChoices[executable] = code;
}

} // namespace

oLocalize::oLocalize()
    : fResources(uint32(0))
    , fExecutable(ExecutableOfRunningApp())
{
    ObtainLanguage();
}

oLocalize::oLocalize(const char* executablePath)
    : fResources(executablePath, uint32(0))
    , fExecutable(executablePath != nullptr ? executablePath : "")
{
    ObtainLanguage();
}

oLocalize::~oLocalize() = default;

void oLocalize::ObtainLanguage()
{
    if (fExecutable.empty())
        return;
    BNode node(fExecutable.c_str());
    // Without the file there is nothing to read texts from either.
    if (node.InitCheck() != B_OK)
        return;
    // A choice the file could not keep is kept in the user's settings, or
    // at least for this run.
    std::optional<std::string> kept = SessionChoice(fExecutable);
    if (!kept.has_value())
        kept = LanguageChoice::Read();
    if (kept.has_value() && LocalizedTextTable::LanguageIndex(kept->c_str()) >= 0) {
        fLanguage = kept->c_str();
        return;
    }
    char buffer[kLanguageBufferSize + 1] = {};
    ssize_t length
        = node.ReadAttr(kLanguageAttribute, B_STRING_TYPE, 0, buffer, kLanguageBufferSize);
    if (length == B_ENTRY_NOT_FOUND) {
        // The first start of this installer file: English, remembered.
        fLanguage = kDefaultLanguage;
        WriteLanguage(fExecutable, kDefaultLanguage);
        return;
    }
    if (length < 0) {
        // The attribute exists but cannot be read: English for this run,
        // without overwriting what is stored.
        fLanguage = kDefaultLanguage;
        return;
    }
    buffer[length] = '\0';
    // A stored value that names none of the ten languages would leave every
    // label of the window empty; English is shown instead (the attribute is
    // left as it is).
    fLanguage = LocalizedTextTable::LanguageIndex(buffer) >= 0 ? buffer : kDefaultLanguage;
}

void oLocalize::SetLanguage(const char* code)
{
    fLanguage = code != nullptr ? code : "";
    if (fExecutable.empty() || code == nullptr)
        return;
    // A file that cannot take the attribute (read-only, someone else's) has
    // the choice kept in the user's settings, when the program named itself
    // there (LanguageChoice); the latest choice is in one place only.
    if (WriteLanguage(fExecutable, code)) {
        LanguageChoice::Remove();
        SetSessionChoice(fExecutable, nullptr);
    } else if (LanguageChoice::Write(code))
        SetSessionChoice(fExecutable, nullptr);
    else
        SetSessionChoice(fExecutable, code);
}

void oLocalize::SetLanguageForRun(const char* code)
{
    fLanguage = code != nullptr ? code : "";
    if (!fExecutable.empty() && code != nullptr)
        SetSessionChoice(fExecutable, code);
}

LibString oLocalize::GetString(const int32& id)
{
    return fResources.GetString(LocalizedTextTable::ResourceName(fLanguage, id).c_str());
}

LibString oLocalize::GetText(const int32& id)
{
    LibString text = GetString(id);
    if (text.Length() > 0)
        return text;
    const char* english = LocalizedTextTable::Text("en", id);
    return LibString(english != nullptr ? english : "");
}

LibString oLocalize::GetFormat(const int32& id)
{
    LibString text = GetText(id);
    if (LocalizedTextTable::IsSafeFormat(id, text))
        return text;
    const char* english = LocalizedTextTable::Text("en", id);
    return LibString(english != nullptr ? english : "");
}
