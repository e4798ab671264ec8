#pragma once

// The de-installer's own user texts, in the ten languages of the installer's
// language menu. A de-installer may carry its own wording as string resources
// of the installer's form ("<code>:<id>", CSTR); without them it speaks from
// this table. Unknown languages fall back to English.

#include <string>

#include <SupportDefs.h>

class BResources;

class KolvastTexts {
public:
    enum text_id : int32 {
        kIntro = 3000,
        kListHeading,
        kRemove,
        kCancel,
        kClose,
        kRemoving,
        kDone,
        kIncomplete,
        kToRemove,
        kToRestore,
        kRemoved,
        kRestored,
        kKept,
        kLeft,
        kFailed,
        kProblem,
        kNoRecord,
        kLogAt,
        kTaken,
        kKeepCurrent,
        kPutBackOld,
        kWhyChanged,
        kWhyNotOurs,
        kWhyUserFiles,
        kWhyTaken,
        kLastId = kWhyTaken,
    };
    static constexpr int32 kFirstId = kIntro;
    static constexpr int32 kCount = kLastId - kFirstId + 1;

    // Texts in `language`, overridden by those `resources` carries (when
    // given).
    explicit KolvastTexts(const std::string& language, BResources* resources = nullptr);

    const char* Text(int32 id) const;
    const std::string& Language() const { return fLanguage; }

    // The built-in text, or null for an unknown id or language.
    static const char* BuiltIn(const char* language, int32 id);
    // Adds every built-in text to resources as "<code>:<id>".
    static status_t AddToResources(BResources& resources);

private:
    std::string fLanguage;
    std::string fTexts[kCount];
};
