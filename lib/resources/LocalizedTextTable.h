#pragma once

// The user texts of the installer and the de-installer (their ids are in
// TextIds.h), in the ten languages of the language menu: the one table of
// them. The authoring tool writes them into every installer and de-installer
// as string resources named "<code>:<id>"; the programs read them back from
// their own resources (oLocalize, KolvastTexts), so that a product may ship
// its own wording, and come here only for a text a file lacks.

#include <SupportDefs.h>

#include <string>
#include <vector>

#include "TextIds.h"

class BResources;

class LocalizedTextTable {
public:
    static constexpr int32 kLanguageCount = 10;
    // The attribute on an installer (and on a de-installer) that keeps the
    // language chosen last, a code without its NUL.
    static constexpr const char* kLanguageAttribute = "language";

    // The name of the string resource that holds text id in a language
    // ("fr:1002").
    static std::string ResourceName(const char* code, const int32& id);

    // The code at a language-menu index: "en", "fr", "es", "de", "it", "no",
    // "sv", "da", "nl", "pt" for 0 to 9, and "en" for any other index
    // (including -1, no selection).
    static const char* LanguageCode(const int32& menuIndex);
    // The menu index of a code, or -1 when it is not one of the ten.
    static int32 LanguageIndex(const char* code);
    // The text of an id in a language, or nullptr when either is unknown.
    static const char* Text(const char* code, const int32& id);
    // The same, in English for a language that is not one of the ten ("" for
    // an unknown id).
    static const char* TextOrEnglish(const char* code, const int32& id);
    // The ids of the table from first to last, in order.
    static std::vector<int32> Ids(const int32& first, const int32& last);
    // Whether text can stand as the printf format of id: its conversions must
    // be the first ones of the English text's, in order ("%%" aside), since
    // callers pass the English arguments. Fewer are fine (surplus arguments
    // are ignored); more, or others, would read arguments that are not there.
    static bool IsSafeFormat(const int32& id, const char* text);
    // Adds every text from firstTextId to lastTextId (by default the
    // installer's) to resources as a CSTR resource named "<code>:<id>" (with
    // its NUL), replacing texts of the same name; new ones take resource ids
    // counting up from firstResourceId. Stops at the first resource that
    // cannot be added and returns its status.
    static status_t AddToResources(BResources& resources, const int32& firstResourceId = 1,
        const int32& firstTextId = TextId::kFirstInstallerId,
        const int32& lastTextId = TextId::kLastInstallerId);
};
