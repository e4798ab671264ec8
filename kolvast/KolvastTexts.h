#pragma once

// The de-installer's user texts (TextId::kDeinstaller*) in one language. A
// de-installer carries them as string resources of the installer's form
// ("<code>:<id>", CSTR), so that a product may word them its own way;
// without them it speaks from the installer's table (LocalizedTextTable).
// Unknown languages fall back to English.

#include <string>

#include <SupportDefs.h>

#include <TextIds.h>

class BResources;

class KolvastTexts {
public:
    static constexpr int32 kFirstId = TextId::kFirstDeinstallerId;
    static constexpr int32 kLastId = TextId::kLastDeinstallerId;
    static constexpr int32 kCount = kLastId - kFirstId + 1;

    // Texts in `language`, overridden by those `resources` carries (when
    // given).
    explicit KolvastTexts(const std::string& language, BResources* resources = nullptr);

    const char* Text(int32 id) const;
    const std::string& Language() const { return fLanguage; }

    // Adds every de-installer text of the table to resources as
    // "<code>:<id>".
    static status_t AddToResources(BResources& resources);

private:
    std::string fLanguage;
    std::string fTexts[kCount];
};
