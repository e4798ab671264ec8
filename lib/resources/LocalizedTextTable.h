#pragma once

// The installer's user texts, string ids 1000 to 1045, in the ten languages of
// the language menu. The authoring tool writes them into every installer as
// string resources named "<code>:<id>"; the installer reads them back from its
// own resources (oLocalize), never from this table, so that a product may ship
// its own wording.

#include <SupportDefs.h>

#include <string>

class BResources;

class LocalizedTextTable {
public:
    static constexpr int32 kFirstId = 1000;
    static constexpr int32 kLastId = 1045;
    static constexpr int32 kIdCount = kLastId - kFirstId + 1;
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
    // Whether text can stand as the printf format of id: its conversions must
    // be the first ones of the English text's, in order ("%%" aside), since
    // callers pass the English arguments. Fewer are fine (surplus arguments
    // are ignored); more, or others, would read arguments that are not there.
    static bool IsSafeFormat(const int32& id, const char* text);
    // Adds every text to resources as a CSTR resource named "<code>:<id>"
    // (with its NUL), replacing texts of the same name; new ones take ids
    // counting up from firstId. Stops at the first resource that cannot be
    // added and returns its status.
    static status_t AddToResources(BResources& resources, const int32& firstId = 1);
};
