#include "KolvastTexts.h"

#include <cstring>

#include <Resources.h>
#include <TypeConstants.h>

#include <LocalizedTextTable.h>

KolvastTexts::KolvastTexts(const std::string& language, BResources* resources)
    : fLanguage(LocalizedTextTable::LanguageIndex(language.c_str()) < 0 ? "en" : language)
{
    for (int32 i = 0; i < kCount; i++) {
        int32 id = kFirstId + i;
        const void* data = nullptr;
        size_t size = 0;
        if (resources != nullptr) {
            std::string name = LocalizedTextTable::ResourceName(fLanguage.c_str(), id);
            data = resources->LoadResource(B_STRING_TYPE, name.c_str(), &size);
        }
        if (data != nullptr && size > 0)
            fTexts[i].assign(
                static_cast<const char*>(data), strnlen(static_cast<const char*>(data), size));
        else
            fTexts[i] = LocalizedTextTable::TextOrEnglish(fLanguage.c_str(), id);
    }
}

const char* KolvastTexts::Text(int32 id) const
{
    if (id < kFirstId || id > kLastId)
        return "";
    return fTexts[id - kFirstId].c_str();
}

status_t KolvastTexts::AddToResources(BResources& resources)
{
    return LocalizedTextTable::AddToResources(resources, kFirstId, kFirstId, kLastId);
}
