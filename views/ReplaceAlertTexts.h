#pragma once

// The replace dialog's texts in one of the ten languages ("en", "fr", "es",
// "de", "it", "no", "sv", "da", "nl", "pt"), from the installer's table
// (TextId::kReplaceDialog*).

struct ReplaceAlertTexts {
    const char* replace;
    const char* keep;
    const char* fileWord;
    const char* folderWord;
    const char* linkWord;
    const char* created;
    const char* modified;
    const char* size;
    const char* kind;
    const char* path;
    const char* version;
    const char* with;
    const char* applyToAll;
    // A printf format: the kind word, then the existing item's name.
    const char* question;
    // Put after the modification date of the newer item.
    const char* newer;
};

// The texts of a language code; English for "en", null and any code that
// is not one of the ten.
const ReplaceAlertTexts& ReplaceAlertTextsFor(const char* language);
