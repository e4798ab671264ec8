#include "ReplaceAlertTexts.h"

#include <cstring>

namespace {

// Some of the translations are odd ("Substitua" as the Portuguese word for
// a file); they are what installers have always shown and are kept as they
// are on purpose.
const ReplaceAlertTexts kEnglish = { "Replace", "Don't Replace", "file", "folder", "symbolic link",
    "Created :", "Modified :", "Size :", "Kind :", "Path :", "Version :", "With",
    "Apply to all future collisions",
    "The %s '%s' already exists. Do you wish to replace existing" };

struct LanguageTexts {
    const char* code;
    ReplaceAlertTexts texts;
};

// In the order in which codes are matched.
const LanguageTexts kTranslations[] = {
    { "fr",
        { "Replacer", "Font pas Replacer", "fichier", "chemise", "lien symbolique", "Créions :",
            "Modifié :", "Taille :", "Aimable :", "Voie d'accès :", "Version :", "Avec",
            "Appliquez-vous à toutes les futures collisions",
            "Le %s de '%s' existe déjà Vous souhaitez substituer exister." } },
    { "es",
        { "Sustituir", "Hacer no Sustituir", "fichero", "carpeta", "conexión simbólica",
            "Crear :", "Modificado :", "Talla :", "Bueno :", "Camino :", "Versión :", "Con",
            "Apliqúese a todas las colisiones futuras",
            "El %s del '%s' existe ya  Usted desea substituir existir." } },
    { "de",
        { "Ersetzen", "Ausführen nicht Ersetzen", "datei", "heft", "symbolisches link",
            "Erzeugen :", "Geändert :", "Größe :", "Freundlich :", "Pfad :", "Version :", "Mit",
            "Treffen Sie auf alle zukünftigen Zusammenstöße zu",
            "Das %s '%s' existiert bereits  Möchten Sie das Existieren ersetzen." } },
    { "it",
        { "Sostituire", "Fare non Sostituire", "archivio", "dispositivo di piegatura",
            "collegamento simbolico", "Creato :", "Modificato :", "Formato :", "Gentile :",
            "Percorso :", "Versione :", "Con", "Applichisi a tutti gli scontri futuri",
            "Il %s di '%s' già esiste  Desiderate sostituire esistere." } },
    { "no",
        { "Ombytte", "Ikke gjør det Ombytte", "arkiv", "brosjyre", "symbolsk koble sammen",
            "Skapt :", "Modifisert :", "Størrelse :", "Slag :", "Sti :", "Versjon :", "Med",
            "Henvende seg til alle fremtid sammenstøtet",
            "Det %s '%s' allerede eksisterer. Vil du ønske som erstatning for eksisterende" } },
    { "sv",
        { "Ombytta", "Icke gör det Ombytta", "arkivet", "broschyren", "symbolisk länken",
            "Skapade :", "Modifierat :", "Storleken :", "Slagen :", "Stian :", "Versionen :", "Med",
            "Hänvände sig till alla framtida sammanstöt",
            "%s '%s' redan existerar. Vill du önska till ombytta existerande" } },
    { "da",
        { "Skifte ud", "Lad være Skifte ud", "fil", "omslag", "symbolsk samkøre",
            "Skabt :", "Forandret :", "Nummer :", "Sort :", "Bane :", "Gengivelse :", "Hos",
            "Henvende sig til al senere sammenstød",
            "Den %s '%s' allerede eksisterer. Lave jer ønske som erstatning for nærværende" } },
    { "nl",
        { "Vervangen", "Verrichten niet Vervangen", "vijl", "vouwblad", "zinnebeeldig verbinding",
            "Wekken :", "Gewijzigde :", "Spanwijdte :", "Welwillend :", "Pad :", "Voorstelling :",
            "Van", "Toepassen voor helemaal toekomstig botsing",
            "Naar de %s '%s' reeds bestaan. Verrichten u wil voor vervangen voorhanden" } },
    { "pt",
        { "Substitua", "Não substitua", "Substitua", "dobrador", "ligação simbólica",
            "Criado :", "Modificado :", "Tamanho :", "Amável :", "Trajeto :", "Versão :", "Com",
            "Aplique a todas as colisões futuras",
            "O %s '%s' existe já  Você deseja substituir existir." } },
};

} // namespace

const ReplaceAlertTexts& ReplaceAlertTextsFor(const char* language)
{
    if (language == nullptr)
        return kEnglish;
    for (const LanguageTexts& translation : kTranslations) {
        if (std::strcmp(language, translation.code) == 0)
            return translation.texts;
    }
    return kEnglish;
}
