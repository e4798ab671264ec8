// The text data of the ten languages. Each language lists ids 1000 to 1045 in
// order. Texts that take printf arguments (1031, 1036, 1039, 1041, 1043, 1044,
// 1045) keep the English conversions in the English order in every language,
// because the callers pass their arguments in that order whatever the
// language. Texts 1013/1014 and 1034/1035 are the two halves of one sentence
// around a quoted name, and 1023/1024 are the verbs that 1031, 1043, 1044 and
// 1045 receive as their first or second argument; each translation is worded
// so that the pieces read naturally together.
//
// The labels of id 1000 in each language are the language menu's, and are kept
// exactly as the menu has always shown them.

#include "LocalizedTextTable.h"

#include <Resources.h>
#include <TypeConstants.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using TextList = std::array<const char*, LocalizedTextTable::kIdCount>;

struct Language {
    const char* code;
    TextList texts;
};

const Language kEnglish = { "en",
    {
        "English\nFrench\nSpanish\nGerman\nItalian\nNorwegian\nSwedish\nDanish\nDutch\nPortuguese",
        "License",
        "Installation",
        "Group",
        "Files",
        "Change destination folder",
        "Disks",
        "Install",
        "Agree",
        "Select destination folder and press Install",
        "Read license and select the Agree button",
        "Abort",
        "Stop",
        "The folder '",
        "' already exists in the destination folder.",
        "Cancel",
        "Replace",
        "OK",
        "Later",
        "Run",
        "\nDo you wish to replace?",
        "Installation can not continue.",
        "You may run the application at your own risk.",
        "requires",
        "suggests",
        "required",
        "suggested",
        "Installation was stopped before it could complete.",
        "Continue",
        "Restart Later",
        "Restart Now",
        "The application '%s' could not be found. The installation %s that this application be "
        "present for the installed software to work properly.",
        "Checking System Resources...",
        "Creating deinstaller...",
        "Do you wish to run '",
        "' now?",
        "Installing %d of %d (%s)",
        "Installation Complete",
        "Installation successfully completed.",
        "'%s' was unable to be run at this time.",
        "Failure to find selected installation folder. Unable to install files.",
        "Unable to create installation folder '%s'. Unable to install files.",
        "\n\nThe system needs to be restarted for the installation to take effect.",
        "The shared library '%s' could not be found. The installation %s that this library be "
        "present for the installed software to work properly.",
        "Installation %s %d MB of physical RAM, and only %d MB is available. %s",
        "Installation %s %s of disk space, and the destination volume '%s' only has %s free.",
    } };

const Language kFrench = { "fr",
    {
        "Anglais\nFrançais\nEspagnol\nAllemande\nItalien\nNorvégien\nSuédois\nDanois\nNéerlandais"
        "\nPortugais",
        "Licence",
        "Installation",
        "Groupe",
        "Fichiers",
        "Changer le dossier de destination",
        "Disques",
        "Installer",
        "Accepter",
        "Choisissez le dossier de destination et cliquez sur Installer",
        "Lisez la licence et cliquez sur le bouton Accepter",
        "Abandonner",
        "Arrêter",
        "Le dossier '",
        "' existe déjà dans le dossier de destination.",
        "Annuler",
        "Remplacer",
        "OK",
        "Plus tard",
        "Lancer",
        "\nVoulez-vous le remplacer ?",
        "L'installation ne peut pas continuer.",
        "Vous pouvez lancer l'application à vos propres risques.",
        "nécessite",
        "recommande",
        "obligatoire",
        "recommandé",
        "L'installation a été arrêtée avant d'être terminée.",
        "Continuer",
        "Redémarrer plus tard",
        "Redémarrer maintenant",
        "L'application '%s' est introuvable. L'installation %s que cette application soit "
        "présente pour que le logiciel installé fonctionne correctement.",
        "Vérification des ressources du système...",
        "Création du programme de désinstallation...",
        "Voulez-vous lancer '",
        "' maintenant ?",
        "Installation de %d sur %d (%s)",
        "Installation terminée",
        "L'installation s'est terminée avec succès.",
        "Impossible de lancer '%s' pour le moment.",
        "Le dossier d'installation choisi est introuvable. Impossible d'installer les fichiers.",
        "Impossible de créer le dossier d'installation '%s'. Impossible d'installer les fichiers.",
        "\n\nLe système doit être redémarré pour que l'installation prenne effet.",
        "La bibliothèque partagée '%s' est introuvable. L'installation %s que cette bibliothèque "
        "soit présente pour que le logiciel installé fonctionne correctement.",
        "L'installation %s %d Mo de mémoire vive, et seuls %d Mo sont disponibles. %s",
        "L'installation %s %s d'espace disque, et le volume de destination '%s' n'a que %s de "
        "libre.",
    } };

const Language kSpanish = { "es",
    {
        "Inglesa\nFrancés\nEspañol\nAlemán\nItaliana\nNoruego\nSueco\nDanés\nHolandés\nPortugués",
        "Licencia",
        "Instalación",
        "Grupo",
        "Archivos",
        "Cambiar la carpeta de destino",
        "Discos",
        "Instalar",
        "Acepto",
        "Seleccione la carpeta de destino y pulse Instalar",
        "Lea la licencia y pulse el botón Acepto",
        "Abandonar",
        "Detener",
        "La carpeta '",
        "' ya existe en la carpeta de destino.",
        "Cancelar",
        "Reemplazar",
        "Aceptar",
        "Más tarde",
        "Ejecutar",
        "\n¿Desea reemplazarla?",
        "La instalación no puede continuar.",
        "Puede ejecutar la aplicación bajo su propia responsabilidad.",
        "requiere",
        "recomienda",
        "obligatorio",
        "recomendado",
        "La instalación se detuvo antes de completarse.",
        "Continuar",
        "Reiniciar más tarde",
        "Reiniciar ahora",
        "No se encontró la aplicación '%s'. La instalación %s que esta aplicación esté presente "
        "para que el software instalado funcione correctamente.",
        "Comprobando los recursos del sistema...",
        "Creando el desinstalador...",
        "¿Desea ejecutar '",
        "' ahora?",
        "Instalando %d de %d (%s)",
        "Instalación completada",
        "La instalación se completó correctamente.",
        "No se pudo ejecutar '%s' en este momento.",
        "No se encuentra la carpeta de instalación seleccionada. No se pueden instalar los "
        "archivos.",
        "No se puede crear la carpeta de instalación '%s'. No se pueden instalar los archivos.",
        "\n\nEs necesario reiniciar el sistema para que la instalación surta efecto.",
        "No se encontró la biblioteca compartida '%s'. La instalación %s que esta biblioteca esté "
        "presente para que el software instalado funcione correctamente.",
        "La instalación %s %d MB de memoria RAM física, y solo hay %d MB disponibles. %s",
        "La instalación %s %s de espacio en disco, y el volumen de destino '%s' solo tiene %s "
        "libres.",
    } };

const Language kGerman = { "de",
    {
        "Englisch\nFranzösisch\nSpanisch\nDeutsch\nItaliener\nNorweger\nSchwedisch\nDänisch"
        "\nHolländisch\nPortugiesisch",
        "Lizenz",
        "Installation",
        "Gruppe",
        "Dateien",
        "Zielordner ändern",
        "Laufwerke",
        "Installieren",
        "Zustimmen",
        "Wählen Sie den Zielordner und klicken Sie auf Installieren",
        "Lesen Sie die Lizenz und klicken Sie auf Zustimmen",
        "Abbrechen",
        "Anhalten",
        "Der Ordner '",
        "' ist im Zielordner bereits vorhanden.",
        "Abbrechen",
        "Ersetzen",
        "OK",
        "Später",
        "Starten",
        "\nMöchten Sie ihn ersetzen?",
        "Die Installation kann nicht fortgesetzt werden.",
        "Sie können die Anwendung auf eigenes Risiko ausführen.",
        "erfordert",
        "empfiehlt",
        "erforderlich",
        "empfohlen",
        "Die Installation wurde vor ihrem Abschluss angehalten.",
        "Fortfahren",
        "Später neu starten",
        "Jetzt neu starten",
        "Die Anwendung '%s' wurde nicht gefunden. Die Installation %s, dass diese Anwendung "
        "vorhanden ist, damit die installierte Software richtig funktioniert.",
        "Systemressourcen werden geprüft...",
        "Deinstallationsprogramm wird erstellt...",
        "Möchten Sie '",
        "' jetzt starten?",
        "Installiere %d von %d (%s)",
        "Installation abgeschlossen",
        "Die Installation wurde erfolgreich abgeschlossen.",
        "'%s' konnte zurzeit nicht gestartet werden.",
        "Der gewählte Installationsordner wurde nicht gefunden. Die Dateien können nicht "
        "installiert werden.",
        "Der Installationsordner '%s' kann nicht angelegt werden. Die Dateien können nicht "
        "installiert werden.",
        "\n\nDas System muss neu gestartet werden, damit die Installation wirksam wird.",
        "Die gemeinsam genutzte Bibliothek '%s' wurde nicht gefunden. Die Installation %s, dass "
        "diese Bibliothek vorhanden ist, damit die installierte Software richtig funktioniert.",
        "Die Installation %s %d MB Arbeitsspeicher, aber nur %d MB sind verfügbar. %s",
        "Die Installation %s %s Speicherplatz, aber auf dem Zielvolume '%s' sind nur %s frei.",
    } };

const Language kItalian = { "it",
    {
        "Inglese\nFrancese\nSpagnolo\nTedesco\nItaliano\nNorvegese\nSvedese\nDanese\nOlandese"
        "\nPortoghese",
        "Licenza",
        "Installazione",
        "Gruppo",
        "File",
        "Cambia cartella di destinazione",
        "Dischi",
        "Installa",
        "Accetto",
        "Seleziona la cartella di destinazione e premi Installa",
        "Leggi la licenza e premi il pulsante Accetto",
        "Interrompi",
        "Ferma",
        "La cartella '",
        "' esiste già nella cartella di destinazione.",
        "Annulla",
        "Sostituisci",
        "OK",
        "Più tardi",
        "Esegui",
        "\nVuoi sostituirla?",
        "L'installazione non può continuare.",
        "Puoi eseguire l'applicazione a tuo rischio.",
        "richiede",
        "consiglia",
        "obbligatorio",
        "consigliato",
        "L'installazione è stata interrotta prima del completamento.",
        "Continua",
        "Riavvia più tardi",
        "Riavvia ora",
        "Impossibile trovare l'applicazione '%s'. L'installazione %s che questa applicazione sia "
        "presente perché il software installato funzioni correttamente.",
        "Verifica delle risorse di sistema...",
        "Creazione del programma di disinstallazione...",
        "Vuoi eseguire '",
        "' ora?",
        "Installazione di %d su %d (%s)",
        "Installazione completata",
        "Installazione completata con successo.",
        "Impossibile eseguire '%s' in questo momento.",
        "Impossibile trovare la cartella di installazione selezionata. Impossibile installare i "
        "file.",
        "Impossibile creare la cartella di installazione '%s'. Impossibile installare i file.",
        "\n\nÈ necessario riavviare il sistema perché l'installazione abbia effetto.",
        "Impossibile trovare la libreria condivisa '%s'. L'installazione %s che questa libreria "
        "sia presente perché il software installato funzioni correttamente.",
        "L'installazione %s %d MB di RAM fisica, ma solo %d MB sono disponibili. %s",
        "L'installazione %s %s di spazio su disco, ma il volume di destinazione '%s' ha solo %s "
        "liberi.",
    } };

const Language kNorwegian = { "no",
    {
        "Engelske\nFranske\nSpanske\nTyskeren\nItaliensk\nNorsk\nSvenske\nDanske\nNederlandsk"
        "\nPortugisisk",
        "Lisens",
        "Installasjon",
        "Gruppe",
        "Filer",
        "Endre målmappe",
        "Disker",
        "Installer",
        "Godta",
        "Velg målmappe og trykk på Installer",
        "Les lisensen og trykk på Godta-knappen",
        "Avbryt",
        "Stopp",
        "Mappen '",
        "' finnes allerede i målmappen.",
        "Avbryt",
        "Erstatt",
        "OK",
        "Senere",
        "Kjør",
        "\nVil du erstatte den?",
        "Installasjonen kan ikke fortsette.",
        "Du kan kjøre programmet på egen risiko.",
        "krever",
        "anbefaler",
        "påkrevd",
        "anbefalt",
        "Installasjonen ble stoppet før den var fullført.",
        "Fortsett",
        "Start på nytt senere",
        "Start på nytt nå",
        "Finner ikke programmet '%s'. Installasjonen %s at dette programmet er til stede for at "
        "den installerte programvaren skal virke som den skal.",
        "Kontrollerer systemressurser...",
        "Oppretter avinstalleringsprogram...",
        "Vil du kjøre '",
        "' nå?",
        "Installerer %d av %d (%s)",
        "Installasjonen er fullført",
        "Installasjonen ble fullført.",
        "'%s' kunne ikke kjøres nå.",
        "Finner ikke den valgte installasjonsmappen. Kan ikke installere filene.",
        "Kan ikke opprette installasjonsmappen '%s'. Kan ikke installere filene.",
        "\n\nSystemet må startes på nytt før installasjonen trer i kraft.",
        "Finner ikke det delte biblioteket '%s'. Installasjonen %s at dette biblioteket er til "
        "stede for at den installerte programvaren skal virke som den skal.",
        "Installasjonen %s %d MB fysisk minne, og bare %d MB er tilgjengelig. %s",
        "Installasjonen %s %s diskplass, og målvolumet '%s' har bare %s ledig.",
    } };

const Language kSwedish = { "sv",
    {
        "Engelska\nFranska\nSpanska\nTyska\nItalienska\nNorska\nSvenska\nDanska\nNederländska"
        "\nPortugisiska",
        "Licens",
        "Installation",
        "Grupp",
        "Filer",
        "Byt målmapp",
        "Diskar",
        "Installera",
        "Godkänn",
        "Välj målmapp och tryck på Installera",
        "Läs licensen och tryck på knappen Godkänn",
        "Avbryt",
        "Stoppa",
        "Mappen '",
        "' finns redan i målmappen.",
        "Avbryt",
        "Ersätt",
        "OK",
        "Senare",
        "Kör",
        "\nVill du ersätta den?",
        "Installationen kan inte fortsätta.",
        "Du kan köra programmet på egen risk.",
        "kräver",
        "rekommenderar",
        "krävs",
        "rekommenderas",
        "Installationen stoppades innan den var klar.",
        "Fortsätt",
        "Starta om senare",
        "Starta om nu",
        "Programmet '%s' hittades inte. Installationen %s att programmet finns för att den "
        "installerade programvaran ska fungera korrekt.",
        "Kontrollerar systemresurser...",
        "Skapar avinstallationsprogram...",
        "Vill du köra '",
        "' nu?",
        "Installerar %d av %d (%s)",
        "Installationen är klar",
        "Installationen slutfördes.",
        "'%s' kunde inte köras just nu.",
        "Den valda installationsmappen hittades inte. Filerna kan inte installeras.",
        "Det går inte att skapa installationsmappen '%s'. Filerna kan inte installeras.",
        "\n\nSystemet måste startas om för att installationen ska träda i kraft.",
        "Det delade biblioteket '%s' hittades inte. Installationen %s att biblioteket finns för "
        "att den installerade programvaran ska fungera korrekt.",
        "Installationen %s %d MB fysiskt minne, och bara %d MB är tillgängligt. %s",
        "Installationen %s %s diskutrymme, och målvolymen '%s' har bara %s ledigt.",
    } };

const Language kDanish = { "da",
    {
        "Engelsk\nFransk\nSpansk\nTysk\nItaliensk\nNordmand\nSvensk\nDansk\nHollandsk\nPortuguese",
        "Licens",
        "Installation",
        "Gruppe",
        "Filer",
        "Skift destinationsmappe",
        "Diske",
        "Installer",
        "Accepter",
        "Vælg destinationsmappe, og tryk på Installer",
        "Læs licensen, og tryk på knappen Accepter",
        "Afbryd",
        "Stop",
        "Mappen '",
        "' findes allerede i destinationsmappen.",
        "Annuller",
        "Erstat",
        "OK",
        "Senere",
        "Kør",
        "\nVil du erstatte den?",
        "Installationen kan ikke fortsætte.",
        "Du kan køre programmet på egen risiko.",
        "kræver",
        "anbefaler",
        "påkrævet",
        "anbefalet",
        "Installationen blev stoppet, før den var fuldført.",
        "Fortsæt",
        "Genstart senere",
        "Genstart nu",
        "Programmet '%s' blev ikke fundet. Installationen %s, at programmet er til stede, for at "
        "den installerede software kan fungere korrekt.",
        "Kontrollerer systemressourcer...",
        "Opretter afinstallationsprogram...",
        "Vil du køre '",
        "' nu?",
        "Installerer %d af %d (%s)",
        "Installationen er fuldført",
        "Installationen blev fuldført.",
        "'%s' kunne ikke køres på nuværende tidspunkt.",
        "Den valgte installationsmappe blev ikke fundet. Filerne kan ikke installeres.",
        "Installationsmappen '%s' kan ikke oprettes. Filerne kan ikke installeres.",
        "\n\nSystemet skal genstartes, før installationen træder i kraft.",
        "Det delte bibliotek '%s' blev ikke fundet. Installationen %s, at biblioteket er til "
        "stede, for at den installerede software kan fungere korrekt.",
        "Installationen %s %d MB fysisk hukommelse, og kun %d MB er tilgængelig. %s",
        "Installationen %s %s diskplads, og destinationsdrevet '%s' har kun %s ledigt.",
    } };

const Language kDutch = { "nl",
    {
        "Engels\nFrans\nSpaans\nDuits\nItaliaans\nNoors\nZweeds\nDeens\nNederlands\nPortugees",
        "Licentie",
        "Installatie",
        "Groep",
        "Bestanden",
        "Doelmap wijzigen",
        "Schijven",
        "Installeren",
        "Akkoord",
        "Kies de doelmap en klik op Installeren",
        "Lees de licentie en klik op de knop Akkoord",
        "Afbreken",
        "Stoppen",
        "De map '",
        "' bestaat al in de doelmap.",
        "Annuleren",
        "Vervangen",
        "OK",
        "Later",
        "Starten",
        "\nWilt u deze vervangen?",
        "De installatie kan niet doorgaan.",
        "U kunt het programma op eigen risico gebruiken.",
        "vereist",
        "adviseert",
        "vereist",
        "aanbevolen",
        "De installatie is gestopt voordat ze voltooid was.",
        "Doorgaan",
        "Later herstarten",
        "Nu herstarten",
        "Het programma '%s' is niet gevonden. De installatie %s dat dit programma aanwezig is om "
        "de geïnstalleerde software goed te laten werken.",
        "Systeembronnen controleren...",
        "Verwijderprogramma aanmaken...",
        "Wilt u '",
        "' nu starten?",
        "Installeren %d van %d (%s)",
        "Installatie voltooid",
        "De installatie is voltooid.",
        "'%s' kon op dit moment niet worden gestart.",
        "De gekozen installatiemap is niet gevonden. De bestanden kunnen niet worden "
        "geïnstalleerd.",
        "Kan de installatiemap '%s' niet aanmaken. De bestanden kunnen niet worden "
        "geïnstalleerd.",
        "\n\nHet systeem moet opnieuw worden opgestart om de installatie van kracht te laten "
        "worden.",
        "De gedeelde bibliotheek '%s' is niet gevonden. De installatie %s dat deze bibliotheek "
        "aanwezig is om de geïnstalleerde software goed te laten werken.",
        "De installatie %s %d MB fysiek geheugen, en er is maar %d MB beschikbaar. %s",
        "De installatie %s %s schijfruimte, en het doelvolume '%s' heeft maar %s vrij.",
    } };

const Language kPortuguese = { "pt",
    {
        "Inglês\nFrancês\nEspanhol\nAlemão\nItaliano\nNorueguês\nSueco\nDinamarquês\nHolandês"
        "\nPortuguês",
        "Licença",
        "Instalação",
        "Grupo",
        "Ficheiros",
        "Alterar a pasta de destino",
        "Discos",
        "Instalar",
        "Aceito",
        "Escolha a pasta de destino e prima Instalar",
        "Leia a licença e prima o botão Aceito",
        "Interromper",
        "Parar",
        "A pasta '",
        "' já existe na pasta de destino.",
        "Cancelar",
        "Substituir",
        "OK",
        "Mais tarde",
        "Executar",
        "\nDeseja substituí-la?",
        "A instalação não pode continuar.",
        "Pode executar a aplicação por sua conta e risco.",
        "requer",
        "recomenda",
        "obrigatório",
        "recomendado",
        "A instalação foi parada antes de terminar.",
        "Continuar",
        "Reiniciar mais tarde",
        "Reiniciar agora",
        "A aplicação '%s' não foi encontrada. A instalação %s que esta aplicação esteja presente "
        "para que o software instalado funcione corretamente.",
        "A verificar os recursos do sistema...",
        "A criar o desinstalador...",
        "Deseja executar '",
        "' agora?",
        "A instalar %d de %d (%s)",
        "Instalação concluída",
        "A instalação foi concluída com êxito.",
        "Não foi possível executar '%s' neste momento.",
        "A pasta de instalação escolhida não foi encontrada. Não é possível instalar os "
        "ficheiros.",
        "Não é possível criar a pasta de instalação '%s'. Não é possível instalar os ficheiros.",
        "\n\nO sistema tem de ser reiniciado para que a instalação tenha efeito.",
        "A biblioteca partilhada '%s' não foi encontrada. A instalação %s que esta biblioteca "
        "esteja presente para que o software instalado funcione corretamente.",
        "A instalação %s %d MB de memória física, e só estão disponíveis %d MB. %s",
        "A instalação %s %s de espaço em disco, e o volume de destino '%s' só tem %s livres.",
    } };

// In language-menu order.
const std::array<const Language*, LocalizedTextTable::kLanguageCount> kLanguages
    = { &kEnglish, &kFrench, &kSpanish, &kGerman, &kItalian, &kNorwegian, &kSwedish, &kDanish,
          &kDutch, &kPortuguese };

// The printf conversions of a text, in order, with their flags, widths and
// lengths ("%s", "%.1f", ...); "%%" is none. A "%" without a conversion
// character counts as a conversion of its own, so that it never matches.
std::vector<std::string> Conversions(const char* text)
{
    std::vector<std::string> found;
    for (const char* c = text; *c != '\0'; c++) {
        if (*c != '%')
            continue;
        size_t end = std::strcspn(c + 1, "diouxXeEfgGcspn%");
        if (c[1 + end] == '\0') {
            found.emplace_back(c);
            break;
        }
        if (c[1 + end] != '%')
            found.emplace_back(c, end + 2);
        c += end + 1;
    }
    return found;
}

} // namespace

bool LocalizedTextTable::IsSafeFormat(const int32& id, const char* text)
{
    const char* english = Text("en", id);
    if (english == nullptr || text == nullptr)
        return false;
    std::vector<std::string> expected = Conversions(english);
    std::vector<std::string> found = Conversions(text);
    return found.size() <= expected.size()
        && std::equal(found.begin(), found.end(), expected.begin());
}

const char* LocalizedTextTable::LanguageCode(const int32& menuIndex)
{
    if (menuIndex < 0 || menuIndex >= kLanguageCount)
        return kEnglish.code;
    return kLanguages[size_t(menuIndex)]->code;
}

int32 LocalizedTextTable::LanguageIndex(const char* code)
{
    if (code == nullptr)
        return -1;
    for (size_t i = 0; i < kLanguages.size(); i++) {
        if (std::strcmp(kLanguages[i]->code, code) == 0)
            return int32(i);
    }
    return -1;
}

const char* LocalizedTextTable::Text(const char* code, const int32& id)
{
    int32 index = LanguageIndex(code);
    if (index < 0 || id < kFirstId || id > kLastId)
        return nullptr;
    return kLanguages[size_t(index)]->texts[size_t(id - kFirstId)];
}

std::string LocalizedTextTable::ResourceName(const char* code, const int32& id)
{
    char name[32];
    std::snprintf(name, sizeof(name), "%s:%ld", code != nullptr ? code : "", long(id));
    return name;
}

status_t LocalizedTextTable::AddToResources(BResources& resources, const int32& firstId)
{
    int32 nextId = firstId;
    for (const Language* language : kLanguages) {
        for (int32 id = kFirstId; id <= kLastId; id++) {
            std::string name = ResourceName(language->code, id);
            const char* text = language->texts[size_t(id - kFirstId)];
            int32 resourceId;
            if (!resources.GetResourceInfo(B_STRING_TYPE, name.c_str(), &resourceId, nullptr)) {
                while (resources.HasResource(B_STRING_TYPE, nextId))
                    nextId++;
                resourceId = nextId++;
            }
            status_t status = resources.AddResource(
                B_STRING_TYPE, resourceId, text, std::strlen(text) + 1, name.c_str());
            if (status != B_OK)
                return status;
        }
    }
    return B_OK;
}
