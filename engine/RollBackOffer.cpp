#include "RollBackOffer.h"

#include <LocalizedTextTable.h>

#include "InstallRemoval.h"

namespace {

// en, fr, es, de, it, no, sv, da, nl, pt.
const char* const kTexts[3][LocalizedTextTable::kLanguageCount] = {
    { "An earlier installation of this product did not finish. Undo what it did before "
      "installing again?",
        "Une installation précédente de ce produit n'a pas abouti. Annuler ce qu'elle a fait "
        "avant de réinstaller ?",
        "Una instalación anterior de este producto no terminó. ¿Deshacer lo que hizo antes de "
        "instalar de nuevo?",
        "Eine frühere Installation dieses Produkts wurde nicht beendet. Soll rückgängig gemacht "
        "werden, was sie getan hat, bevor neu installiert wird?",
        "Un'installazione precedente di questo prodotto non è terminata. Annullare ciò che ha "
        "fatto prima di installare di nuovo?",
        "En tidligere installasjon av dette produktet ble ikke fullført. Angre det den gjorde "
        "før det installeres på nytt?",
        "En tidigare installation av den här produkten slutfördes inte. Ångra det den gjorde "
        "innan det installeras igen?",
        "En tidligere installation af dette produkt blev ikke fuldført. Fortryd det, den "
        "gjorde, før der installeres igen?",
        "Een eerdere installatie van dit product is niet voltooid. Ongedaan maken wat die deed "
        "voordat opnieuw wordt geïnstalleerd?",
        "Uma instalação anterior deste produto não terminou. Desfazer o que fez antes de "
        "instalar de novo?" },
    { "Leave it", "Laisser", "Dejarla", "Belassen", "Lasciare", "La være", "Låt vara", "Lad være",
        "Laten", "Deixar" },
    { "Undo it", "Annuler", "Deshacer", "Rückgängig", "Annulla", "Angre", "Ångra", "Fortryd",
        "Ongedaan maken", "Desfazer" },
};

} // namespace

std::vector<std::string> RollBackOffer::Find(const std::string& appName)
{
    if (appName.empty())
        return {};
    return InstallRemoval::FindUnfinished(appName);
}

const char* RollBackOffer::Text(const char* language, text_id id)
{
    int32 column = LocalizedTextTable::LanguageIndex(language != nullptr ? language : "en");
    return kTexts[id][column < 0 ? 0 : column];
}

bool RollBackOffer::RollBackAll(const std::vector<std::string>& journals, std::string* report)
{
    bool complete = true;
    for (const std::string& journal : journals) {
        std::string lines;
        if (InstallRemoval::RollBack(journal, &lines) != B_OK) {
            complete = false;
            if (report != nullptr)
                *report += lines;
        }
    }
    return complete;
}
