#include "ReplaceAlertTexts.h"

#include <array>

#include <LocalizedTextTable.h>

namespace {

ReplaceAlertTexts TextsOf(const char* code)
{
    auto text = [code](int32 id) { return LocalizedTextTable::Text(code, id); };
    return { text(TextId::kReplaceDialogReplace), text(TextId::kReplaceDialogKeep),
        text(TextId::kReplaceDialogFile), text(TextId::kReplaceDialogFolder),
        text(TextId::kReplaceDialogLink), text(TextId::kReplaceDialogCreated),
        text(TextId::kReplaceDialogModified), text(TextId::kReplaceDialogSize),
        text(TextId::kReplaceDialogKind), text(TextId::kReplaceDialogPath),
        text(TextId::kReplaceDialogVersion), text(TextId::kReplaceDialogWith),
        text(TextId::kReplaceDialogApplyToAll), text(TextId::kReplaceDialogQuestion),
        text(TextId::kReplaceDialogNewer) };
}

} // namespace

const ReplaceAlertTexts& ReplaceAlertTextsFor(const char* language)
{
    static const std::array<ReplaceAlertTexts, LocalizedTextTable::kLanguageCount> kTexts = [] {
        std::array<ReplaceAlertTexts, LocalizedTextTable::kLanguageCount> texts;
        for (int32 i = 0; i < LocalizedTextTable::kLanguageCount; i++)
            texts[size_t(i)] = TextsOf(LocalizedTextTable::LanguageCode(i));
        return texts;
    }();
    int32 index = LocalizedTextTable::LanguageIndex(language);
    return kTexts[size_t(index < 0 ? 0 : index)];
}
