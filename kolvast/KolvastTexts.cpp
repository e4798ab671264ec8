#include "KolvastTexts.h"

#include <cstring>

#include <Resources.h>
#include <TypeConstants.h>

#include <LocalizedTextTable.h>

namespace {

// One row per text, one column per language, in the menu's order: en, fr,
// es, de, it, no, sv, da, nl, pt.
const char* const kTable[KolvastTexts::kCount][LocalizedTextTable::kLanguageCount] = {
    { "This removes the following product from this computer:",
        "Ce programme supprime de cet ordinateur le produit suivant :",
        "Esto elimina de este ordenador el siguiente producto:",
        "Hiermit wird das folgende Produkt von diesem Computer entfernt:",
        "Questo rimuove dal computer il seguente prodotto:",
        "Dette fjerner følgende produkt fra datamaskinen:",
        "Detta tar bort följande produkt från datorn:",
        "Dette fjerner følgende produkt fra computeren:",
        "Hiermee wordt het volgende product van deze computer verwijderd:",
        "Isto remove o seguinte produto deste computador:" },
    { "What is removed, and what the installation replaced and gets back:",
        "Ce qui est supprimé, et ce que l'installation avait remplacé et qui revient :",
        "Lo que se elimina, y lo que la instalación reemplazó y se restaura:",
        "Was entfernt wird, und was die Installation ersetzt hatte und zurückkommt:",
        "Ciò che viene rimosso, e ciò che l'installazione aveva sostituito e torna:",
        "Det som fjernes, og det installasjonen erstattet og som settes tilbake:",
        "Det som tas bort, och det installationen ersatte och som läggs tillbaka:",
        "Det, der fjernes, og det, installationen erstattede og som lægges tilbage:",
        "Wat verwijderd wordt, en wat de installatie verving en terugkomt:",
        "O que é removido, e o que a instalação substituiu e é reposto:" },
    { "Remove", "Supprimer", "Eliminar", "Entfernen", "Rimuovi", "Fjern", "Ta bort", "Fjern",
        "Verwijderen", "Remover" },
    { "Cancel", "Annuler", "Cancelar", "Abbrechen", "Annulla", "Avbryt", "Avbryt", "Annuller",
        "Annuleren", "Cancelar" },
    { "Close", "Fermer", "Cerrar", "Schließen", "Chiudi", "Lukk", "Stäng", "Luk", "Sluiten",
        "Fechar" },
    { "Removing…", "Suppression…", "Eliminando…", "Wird entfernt…", "Rimozione…", "Fjerner…",
        "Tar bort…", "Fjerner…", "Bezig met verwijderen…", "A remover…" },
    { "Everything was removed.", "Tout a été supprimé.", "Se eliminó todo.",
        "Alles wurde entfernt.", "È stato rimosso tutto.", "Alt ble fjernet.", "Allt togs bort.",
        "Alt blev fjernet.", "Alles is verwijderd.", "Tudo foi removido." },
    { "Some items were kept or could not be removed:",
        "Certains éléments ont été conservés ou n'ont pas pu être supprimés :",
        "Algunos elementos se conservaron o no se pudieron eliminar:",
        "Einige Objekte wurden behalten oder konnten nicht entfernt werden:",
        "Alcuni elementi sono stati conservati o non è stato possibile rimuoverli:",
        "Noen elementer ble beholdt eller kunne ikke fjernes:",
        "Några objekt behölls eller kunde inte tas bort:",
        "Nogle elementer blev beholdt eller kunne ikke fjernes:",
        "Sommige onderdelen zijn behouden of konden niet worden verwijderd:",
        "Alguns itens foram mantidos ou não puderam ser removidos:" },
    { "Remove", "Supprimer", "Eliminar", "Entfernen", "Rimuovere", "Fjerne", "Ta bort", "Fjerne",
        "Verwijderen", "Remover" },
    { "Put back", "Remettre", "Restaurar", "Zurücklegen", "Ripristinare", "Sette tilbake",
        "Lägga tillbaka", "Lægge tilbage", "Terugzetten", "Repor" },
    { "Removed", "Supprimé", "Eliminado", "Entfernt", "Rimosso", "Fjernet", "Borttaget", "Fjernet",
        "Verwijderd", "Removido" },
    { "Put back", "Remis", "Restaurado", "Zurückgelegt", "Ripristinato", "Satt tilbake",
        "Tillbakalagt", "Lagt tilbage", "Teruggezet", "Reposto" },
    { "Kept", "Conservé", "Conservado", "Behalten", "Conservato", "Beholdt", "Behållet", "Beholdt",
        "Behouden", "Mantido" },
    { "Stays", "Reste", "Se queda", "Bleibt", "Resta", "Blir", "Stannar", "Bliver", "Blijft",
        "Fica" },
    { "Failed", "Échec", "Error", "Fehlgeschlagen", "Non riuscito", "Mislyktes", "Misslyckades",
        "Mislykkedes", "Mislukt", "Falhou" },
    { "Doubtful record", "Registre douteux", "Registro dudoso", "Zweifelhafter Eintrag",
        "Registro dubbio", "Tvilsom oppføring", "Tveksam post", "Tvivlsom post",
        "Twijfelachtig gegeven", "Registo duvidoso" },
    { "There is nothing to remove: the installation's record cannot be read.",
        "Il n'y a rien à supprimer : le registre de l'installation est illisible.",
        "No hay nada que eliminar: no se puede leer el registro de la instalación.",
        "Es gibt nichts zu entfernen: Das Protokoll der Installation ist nicht lesbar.",
        "Non c'è nulla da rimuovere: il registro dell'installazione non è leggibile.",
        "Det er ingenting å fjerne: installasjonens register kan ikke leses.",
        "Det finns inget att ta bort: installationens register kan inte läsas.",
        "Der er intet at fjerne: installationens register kan ikke læses.",
        "Er is niets te verwijderen: het register van de installatie is onleesbaar.",
        "Não há nada a remover: o registo da instalação não pode ser lido." },
    { "Details:", "Détails :", "Detalles:", "Einzelheiten:", "Dettagli:", "Detaljer:", "Detaljer:",
        "Detaljer:", "Details:", "Detalhes:" },
    { "What the installation replaced here cannot go back: something new has taken its place.",
        "Ce que l'installation a remplacé ici ne peut pas revenir : un nouvel élément a pris sa "
        "place.",
        "Lo que la instalación reemplazó aquí no puede volver: algo nuevo ocupa su lugar.",
        "Was die Installation hier ersetzt hat, kann nicht zurück: Etwas Neues steht an seiner "
        "Stelle.",
        "Ciò che l'installazione ha sostituito qui non può tornare: qualcosa di nuovo ha preso il "
        "suo posto.",
        "Det installasjonen erstattet her kan ikke settes tilbake: noe nytt har tatt plassen.",
        "Det installationen ersatte här kan inte läggas tillbaka: något nytt har tagit platsen.",
        "Det, installationen erstattede her, kan ikke lægges tilbage: noget nyt har taget "
        "pladsen.",
        "Wat de installatie hier verving kan niet terug: er staat iets nieuws op die plaats.",
        "O que a instalação substituiu aqui não pode voltar: algo novo ocupou o seu lugar." },
    { "Keep the new one", "Garder le nouveau", "Conservar lo nuevo", "Neues behalten",
        "Tieni il nuovo", "Behold det nye", "Behåll det nya", "Behold det nye", "Nieuwe houden",
        "Manter o novo" },
    { "Put back the old one", "Remettre l'ancien", "Restaurar lo antiguo", "Altes zurücklegen",
        "Ripristina il vecchio", "Sett tilbake det gamle", "Lägg tillbaka det gamla",
        "Læg det gamle tilbage", "Oude terugzetten", "Repor o antigo" },
    { "It was changed after the installation.", "Il a été modifié après l'installation.",
        "Se modificó después de la instalación.", "Es wurde nach der Installation geändert.",
        "È stato modificato dopo l'installazione.", "Det ble endret etter installasjonen.",
        "Det ändrades efter installationen.", "Det blev ændret efter installationen.",
        "Het is na de installatie gewijzigd.", "Foi alterado depois da instalação." },
    { "The installation did not put it there.", "Ce n'est pas l'installation qui l'a placé là.",
        "La instalación no lo puso ahí.", "Die Installation hat es nicht dorthin gelegt.",
        "Non è stato messo lì dall'installazione.", "Installasjonen la det ikke der.",
        "Installationen lade det inte där.", "Installationen lagde det ikke der.",
        "De installatie heeft het daar niet neergezet.", "Não foi a instalação que o pôs aí." },
    { "It holds files the installation did not put there.",
        "Il contient des fichiers que l'installation n'a pas placés.",
        "Contiene archivos que la instalación no puso ahí.",
        "Es enthält Dateien, die nicht von der Installation stammen.",
        "Contiene file che non provengono dall'installazione.",
        "Den inneholder filer som installasjonen ikke la der.",
        "Den innehåller filer som installationen inte lade där.",
        "Den indeholder filer, som installationen ikke lagde der.",
        "Het bevat bestanden die niet van de installatie komen.",
        "Contém ficheiros que a instalação não pôs aí." },
    { "Its old place is taken; it stays where it is.",
        "Son ancienne place est prise ; il reste où il est.",
        "Su antiguo lugar está ocupado; se queda donde está.",
        "Sein alter Platz ist belegt; es bleibt, wo es ist.",
        "Il suo vecchio posto è occupato; resta dov'è.",
        "Den gamle plassen er opptatt; det blir der det er.",
        "Dess gamla plats är upptagen; det stannar där det är.",
        "Dens gamle plads er optaget; det bliver, hvor det er.",
        "Zijn oude plaats is bezet; het blijft waar het is.",
        "O seu antigo lugar está ocupado; fica onde está." },
};

} // namespace

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
            fTexts[i] = BuiltIn(fLanguage.c_str(), id);
    }
}

const char* KolvastTexts::Text(int32 id) const
{
    if (id < kFirstId || id > kLastId)
        return "";
    return fTexts[id - kFirstId].c_str();
}

const char* KolvastTexts::BuiltIn(const char* language, int32 id)
{
    int32 column = LocalizedTextTable::LanguageIndex(language);
    if (column < 0 || id < kFirstId || id > kLastId)
        return nullptr;
    return kTable[id - kFirstId][column];
}

status_t KolvastTexts::AddToResources(BResources& resources)
{
    int32 resourceId = 3000;
    for (int32 column = 0; column < LocalizedTextTable::kLanguageCount; column++) {
        const char* code = LocalizedTextTable::LanguageCode(column);
        for (int32 id = kFirstId; id <= kLastId; id++) {
            const char* text = BuiltIn(code, id);
            std::string name = LocalizedTextTable::ResourceName(code, id);
            status_t status = resources.AddResource(
                B_STRING_TYPE, resourceId++, text, std::strlen(text) + 1, name.c_str());
            if (status != B_OK)
                return status;
        }
    }
    return B_OK;
}
