// The text data, one row per text id (TextIds.h), one column per language
// in the menu's order: en, fr, es, de, it, no, sv, da, nl, pt.
//
// Texts that take printf arguments (kApplicationMissing, kInstallingItem,
// kUnableToRun, kCannotCreateFolder, kLibraryMissing, kNotEnoughMemory,
// kNotEnoughSpace, kReplaceDialogQuestion, kSpaceShortWarning,
// kDestinationUnusable) keep the English conversions in
// the English order in every language, because the callers pass their
// arguments in that order whatever the language. kFolderExistsStart/End and
// kRunQuestionStart/End are the two halves of one sentence around a quoted
// name, and kRequires/kSuggests are the verbs that the requirement texts
// receive; each translation is worded so that the pieces read naturally
// together.
//
// The labels of kLanguageMenu in each language are the language menu's, and
// are kept exactly as the menu has always shown them. Some of the replace
// dialog's translations are odd ("Substitua" as the Portuguese word for a
// file); they are what installers have always shown and are kept as they are
// on purpose.

#include "LocalizedTextTable.h"

#include <Resources.h>
#include <TypeConstants.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "TextIds.h"

namespace {

struct Row {
    int32 id;
    std::array<const char*, LocalizedTextTable::kLanguageCount> texts;
};

// By id, in ascending order.
const Row kRows[] = {
    { TextId::kLanguageMenu,
        { "English\nFrench\nSpanish\nGerman\nItalian\nNorwegian\nSwedish\nDanish\nDutch\nPortugues"
          "e",
            "Anglais\nFrançais\nEspagnol\nAllemande\nItalien\nNorvégien\nSuédois\nDanois\nNéerlanda"
            "is\nPortugais",
            "Inglesa\nFrancés\nEspañol\nAlemán\nItaliana\nNoruego\nSueco\nDanés\nHolandés\nPortugué"
            "s",
            "Englisch\nFranzösisch\nSpanisch\nDeutsch\nItaliener\nNorweger\nSchwedisch\nDänisch\nHo"
            "lländisch\nPortugiesisch",
            "Inglese\nFrancese\nSpagnolo\nTedesco\nItaliano\nNorvegese\nSvedese\nDanese\nOlandese\n"
            "Portoghese",
            "Engelske\nFranske\nSpanske\nTyskeren\nItaliensk\nNorsk\nSvenske\nDanske\nNederlandsk\n"
            "Portugisisk",
            "Engelska\nFranska\nSpanska\nTyska\nItalienska\nNorska\nSvenska\nDanska\nNederländska\n"
            "Portugisiska",
            "Engelsk\nFransk\nSpansk\nTysk\nItaliensk\nNordmand\nSvensk\nDansk\nHollandsk\nPortugue"
            "se",
            "Engels\nFrans\nSpaans\nDuits\nItaliaans\nNoors\nZweeds\nDeens\nNederlands\nPortugees",
            "Inglês\nFrancês\nEspanhol\nAlemão\nItaliano\nNorueguês\nSueco\nDinamarquês\nHolandês\n"
            "Português" } },
    { TextId::kLicenseBox,
        { "License", "Licence", "Licencia", "Lizenz", "Licenza", "Lisens", "Licens", "Licens",
            "Licentie", "Licença" } },
    { TextId::kInstallBox,
        { "Installation", "Installation", "Instalación", "Installation", "Installazione",
            "Installasjon", "Installation", "Installation", "Installatie", "Instalação" } },
    { TextId::kGroupLabel,
        { "Group", "Groupe", "Grupo", "Gruppe", "Gruppo", "Gruppe", "Grupp", "Gruppe", "Groep",
            "Grupo" } },
    { TextId::kFilesLabel,
        { "Files", "Fichiers", "Archivos", "Dateien", "File", "Filer", "Filer", "Filer",
            "Bestanden", "Ficheiros" } },
    { TextId::kFolderTip,
        { "Change destination folder", "Changer le dossier de destination",
            "Cambiar la carpeta de destino", "Zielordner ändern", "Cambia cartella di destinazione",
            "Endre målmappe", "Byt målmapp", "Skift destinationsmappe", "Doelmap wijzigen",
            "Alterar a pasta de destino" } },
    { TextId::kDisksLabel,
        { "Disks", "Disques", "Discos", "Laufwerke", "Dischi", "Disker", "Diskar", "Diske",
            "Schijven", "Discos" } },
    { TextId::kInstall,
        { "Install", "Installer", "Instalar", "Installieren", "Installa", "Installer", "Installera",
            "Installer", "Installeren", "Instalar" } },
    { TextId::kAgree,
        { "Agree", "Accepter", "Acepto", "Zustimmen", "Accetto", "Godta", "Godkänn", "Accepter",
            "Akkoord", "Aceito" } },
    { TextId::kDestinationStep,
        { "Select destination folder and press Install",
            "Choisissez le dossier de destination et cliquez sur Installer",
            "Seleccione la carpeta de destino y pulse Instalar",
            "Wählen Sie den Zielordner und klicken Sie auf Installieren",
            "Seleziona la cartella di destinazione e premi Installa",
            "Velg målmappe og trykk på Installer", "Välj målmapp och tryck på Installera",
            "Vælg destinationsmappe, og tryk på Installer",
            "Kies de doelmap en klik op Installeren",
            "Escolha a pasta de destino e prima Instalar" } },
    { TextId::kLicenseStep,
        { "Read license and select the Agree button",
            "Lisez la licence et cliquez sur le bouton Accepter",
            "Lea la licencia y pulse el botón Acepto",
            "Lesen Sie die Lizenz und klicken Sie auf Zustimmen",
            "Leggi la licenza e premi il pulsante Accetto",
            "Les lisensen og trykk på Godta-knappen", "Läs licensen och tryck på knappen Godkänn",
            "Læs licensen, og tryk på knappen Accepter",
            "Lees de licentie en klik op de knop Akkoord",
            "Leia a licença e prima o botão Aceito" } },
    { TextId::kAbort,
        { "Abort", "Abandonner", "Abandonar", "Abbrechen", "Interrompi", "Avbryt", "Avbryt",
            "Afbryd", "Afbreken", "Interromper" } },
    { TextId::kStop,
        { "Stop", "Arrêter", "Detener", "Anhalten", "Ferma", "Stopp", "Stoppa", "Stop", "Stoppen",
            "Parar" } },
    { TextId::kFolderExistsStart,
        { "The folder '", "Le dossier '", "La carpeta '", "Der Ordner '", "La cartella '",
            "Mappen '", "Mappen '", "Mappen '", "De map '", "A pasta '" } },
    { TextId::kFolderExistsEnd,
        { "' already exists in the destination folder.",
            "' existe déjà dans le dossier de destination.",
            "' ya existe en la carpeta de destino.", "' ist im Zielordner bereits vorhanden.",
            "' esiste già nella cartella di destinazione.", "' finnes allerede i målmappen.",
            "' finns redan i målmappen.", "' findes allerede i destinationsmappen.",
            "' bestaat al in de doelmap.", "' já existe na pasta de destino." } },
    { TextId::kCancel,
        { "Cancel", "Annuler", "Cancelar", "Abbrechen", "Annulla", "Avbryt", "Avbryt", "Annuller",
            "Annuleren", "Cancelar" } },
    { TextId::kReplace,
        { "Replace", "Remplacer", "Reemplazar", "Ersetzen", "Sostituisci", "Erstatt", "Ersätt",
            "Erstat", "Vervangen", "Substituir" } },
    { TextId::kOk, { "OK", "OK", "Aceptar", "OK", "OK", "OK", "OK", "OK", "OK", "OK" } },
    { TextId::kLater,
        { "Later", "Plus tard", "Más tarde", "Später", "Più tardi", "Senere", "Senare", "Senere",
            "Later", "Mais tarde" } },
    { TextId::kRun,
        { "Run", "Lancer", "Ejecutar", "Starten", "Esegui", "Kjør", "Kör", "Kør", "Starten",
            "Executar" } },
    { TextId::kAskReplace,
        { "\nDo you wish to replace?", "\nVoulez-vous le remplacer ?", "\n¿Desea reemplazarla?",
            "\nMöchten Sie ihn ersetzen?", "\nVuoi sostituirla?", "\nVil du erstatte den?",
            "\nVill du ersätta den?", "\nVil du erstatte den?", "\nWilt u deze vervangen?",
            "\nDeseja substituí-la?" } },
    { TextId::kCannotContinue,
        { "Installation can not continue.", "L'installation ne peut pas continuer.",
            "La instalación no puede continuar.", "Die Installation kann nicht fortgesetzt werden.",
            "L'installazione non può continuare.", "Installasjonen kan ikke fortsette.",
            "Installationen kan inte fortsätta.", "Installationen kan ikke fortsætte.",
            "De installatie kan niet doorgaan.", "A instalação não pode continuar." } },
    { TextId::kAtOwnRisk,
        { "You may run the application at your own risk.",
            "Vous pouvez lancer l'application à vos propres risques.",
            "Puede ejecutar la aplicación bajo su propia responsabilidad.",
            "Sie können die Anwendung auf eigenes Risiko ausführen.",
            "Puoi eseguire l'applicazione a tuo rischio.",
            "Du kan kjøre programmet på egen risiko.", "Du kan köra programmet på egen risk.",
            "Du kan køre programmet på egen risiko.",
            "U kunt het programma op eigen risico gebruiken.",
            "Pode executar a aplicação por sua conta e risco." } },
    { TextId::kRequires,
        { "requires", "nécessite", "requiere", "erfordert", "richiede", "krever", "kräver",
            "kræver", "vereist", "requer" } },
    { TextId::kSuggests,
        { "suggests", "recommande", "recomienda", "empfiehlt", "consiglia", "anbefaler",
            "rekommenderar", "anbefaler", "adviseert", "recomenda" } },
    { TextId::kRequired,
        { "required", "obligatoire", "obligatorio", "erforderlich", "obbligatorio", "påkrevd",
            "krävs", "påkrævet", "vereist", "obrigatório" } },
    { TextId::kSuggested,
        { "suggested", "recommandé", "recomendado", "empfohlen", "consigliato", "anbefalt",
            "rekommenderas", "anbefalet", "aanbevolen", "recomendado" } },
    { TextId::kStopped,
        { "Installation was stopped before it could complete.",
            "L'installation a été arrêtée avant d'être terminée.",
            "La instalación se detuvo antes de completarse.",
            "Die Installation wurde vor ihrem Abschluss angehalten.",
            "L'installazione è stata interrotta prima del completamento.",
            "Installasjonen ble stoppet før den var fullført.",
            "Installationen stoppades innan den var klar.",
            "Installationen blev stoppet, før den var fuldført.",
            "De installatie is gestopt voordat ze voltooid was.",
            "A instalação foi parada antes de terminar." } },
    { TextId::kContinue,
        { "Continue", "Continuer", "Continuar", "Fortfahren", "Continua", "Fortsett", "Fortsätt",
            "Fortsæt", "Doorgaan", "Continuar" } },
    { TextId::kRestartLater,
        { "Restart Later", "Redémarrer plus tard", "Reiniciar más tarde", "Später neu starten",
            "Riavvia più tardi", "Start på nytt senere", "Starta om senare", "Genstart senere",
            "Later herstarten", "Reiniciar mais tarde" } },
    { TextId::kRestartNow,
        { "Restart Now", "Redémarrer maintenant", "Reiniciar ahora", "Jetzt neu starten",
            "Riavvia ora", "Start på nytt nå", "Starta om nu", "Genstart nu", "Nu herstarten",
            "Reiniciar agora" } },
    { TextId::kApplicationMissing,
        { "The application '%s' could not be found. The installation %s that this application be "
          "present for the installed software to work properly.",
            "L'application '%s' est introuvable. L'installation %s que cette application soit "
            "présente pour que le logiciel installé fonctionne correctement.",
            "No se encontró la aplicación '%s'. La instalación %s que esta aplicación esté "
            "presente para que el software instalado funcione correctamente.",
            "Die Anwendung '%s' wurde nicht gefunden. Die Installation %s, dass diese Anwendung "
            "vorhanden ist, damit die installierte Software richtig funktioniert.",
            "Impossibile trovare l'applicazione '%s'. L'installazione %s che questa applicazione "
            "sia presente perché il software installato funzioni correttamente.",
            "Finner ikke programmet '%s'. Installasjonen %s at dette programmet er til stede for "
            "at den installerte programvaren skal virke som den skal.",
            "Programmet '%s' hittades inte. Installationen %s att programmet finns för att den "
            "installerade programvaran ska fungera korrekt.",
            "Programmet '%s' blev ikke fundet. Installationen %s, at programmet er til stede, for "
            "at den installerede software kan fungere korrekt.",
            "Het programma '%s' is niet gevonden. De installatie %s dat dit programma aanwezig is "
            "om de geïnstalleerde software goed te laten werken.",
            "A aplicação '%s' não foi encontrada. A instalação %s que esta aplicação esteja "
            "presente para que o software instalado funcione corretamente." } },
    { TextId::kCheckingSystem,
        { "Checking System Resources...", "Vérification des ressources du système...",
            "Comprobando los recursos del sistema...", "Systemressourcen werden geprüft...",
            "Verifica delle risorse di sistema...", "Kontrollerer systemressurser...",
            "Kontrollerar systemresurser...", "Kontrollerer systemressourcer...",
            "Systeembronnen controleren...", "A verificar os recursos do sistema..." } },
    { TextId::kCreatingDeinstaller,
        { "Creating deinstaller...", "Création du programme de désinstallation...",
            "Creando el desinstalador...", "Deinstallationsprogramm wird erstellt...",
            "Creazione del programma di disinstallazione...", "Oppretter avinstalleringsprogram...",
            "Skapar avinstallationsprogram...", "Opretter afinstallationsprogram...",
            "Verwijderprogramma aanmaken...", "A criar o desinstalador..." } },
    { TextId::kRunQuestionStart,
        { "Do you wish to run '", "Voulez-vous lancer '", "¿Desea ejecutar '", "Möchten Sie '",
            "Vuoi eseguire '", "Vil du kjøre '", "Vill du köra '", "Vil du køre '", "Wilt u '",
            "Deseja executar '" } },
    { TextId::kRunQuestionEnd,
        { "' now?", "' maintenant ?", "' ahora?", "' jetzt starten?", "' ora?", "' nå?", "' nu?",
            "' nu?", "' nu starten?", "' agora?" } },
    { TextId::kInstallingItem,
        { "Installing %d of %d (%s)", "Installation de %d sur %d (%s)", "Instalando %d de %d (%s)",
            "Installiere %d von %d (%s)", "Installazione di %d su %d (%s)",
            "Installerer %d av %d (%s)", "Installerar %d av %d (%s)", "Installerer %d af %d (%s)",
            "Installeren %d van %d (%s)", "A instalar %d de %d (%s)" } },
    { TextId::kInstallationComplete,
        { "Installation Complete", "Installation terminée", "Instalación completada",
            "Installation abgeschlossen", "Installazione completata", "Installasjonen er fullført",
            "Installationen är klar", "Installationen er fuldført", "Installatie voltooid",
            "Instalação concluída" } },
    { TextId::kSuccess,
        { "Installation successfully completed.", "L'installation s'est terminée avec succès.",
            "La instalación se completó correctamente.",
            "Die Installation wurde erfolgreich abgeschlossen.",
            "Installazione completata con successo.", "Installasjonen ble fullført.",
            "Installationen slutfördes.", "Installationen blev fuldført.",
            "De installatie is voltooid.", "A instalação foi concluída com êxito." } },
    { TextId::kUnableToRun,
        { "'%s' was unable to be run at this time.", "Impossible de lancer '%s' pour le moment.",
            "No se pudo ejecutar '%s' en este momento.",
            "'%s' konnte zurzeit nicht gestartet werden.",
            "Impossibile eseguire '%s' in questo momento.", "'%s' kunne ikke kjøres nå.",
            "'%s' kunde inte köras just nu.", "'%s' kunne ikke køres på nuværende tidspunkt.",
            "'%s' kon op dit moment niet worden gestart.",
            "Não foi possível executar '%s' neste momento." } },
    { TextId::kDestinationMissing,
        { "Failure to find selected installation folder. Unable to install files.",
            "Le dossier d'installation choisi est introuvable. Impossible d'installer les "
            "fichiers.",
            "No se encuentra la carpeta de instalación seleccionada. No se pueden instalar los "
            "archivos.",
            "Der gewählte Installationsordner wurde nicht gefunden. Die Dateien können nicht "
            "installiert werden.",
            "Impossibile trovare la cartella di installazione selezionata. Impossibile installare "
            "i file.",
            "Finner ikke den valgte installasjonsmappen. Kan ikke installere filene.",
            "Den valda installationsmappen hittades inte. Filerna kan inte installeras.",
            "Den valgte installationsmappe blev ikke fundet. Filerne kan ikke installeres.",
            "De gekozen installatiemap is niet gevonden. De bestanden kunnen niet worden "
            "geïnstalleerd.",
            "A pasta de instalação escolhida não foi encontrada. Não é possível instalar os "
            "ficheiros." } },
    { TextId::kCannotCreateFolder,
        { "Unable to create installation folder '%s'. Unable to install files.",
            "Impossible de créer le dossier d'installation '%s'. Impossible d'installer les "
            "fichiers.",
            "No se puede crear la carpeta de instalación '%s'. No se pueden instalar los archivos.",
            "Der Installationsordner '%s' kann nicht angelegt werden. Die Dateien können nicht "
            "installiert werden.",
            "Impossibile creare la cartella di installazione '%s'. Impossibile installare i file.",
            "Kan ikke opprette installasjonsmappen '%s'. Kan ikke installere filene.",
            "Det går inte att skapa installationsmappen '%s'. Filerna kan inte installeras.",
            "Installationsmappen '%s' kan ikke oprettes. Filerne kan ikke installeres.",
            "Kan de installatiemap '%s' niet aanmaken. De bestanden kunnen niet worden "
            "geïnstalleerd.",
            "Não é possível criar a pasta de instalação '%s'. Não é possível instalar os "
            "ficheiros." } },
    { TextId::kNeedsRestart,
        { "\n\nThe system needs to be restarted for the installation to take effect.",
            "\n\nLe système doit être redémarré pour que l'installation prenne effet.",
            "\n\nEs necesario reiniciar el sistema para que la instalación surta efecto.",
            "\n\nDas System muss neu gestartet werden, damit die Installation wirksam wird.",
            "\n\nÈ necessario riavviare il sistema perché l'installazione abbia effetto.",
            "\n\nSystemet må startes på nytt før installasjonen trer i kraft.",
            "\n\nSystemet måste startas om för att installationen ska träda i kraft.",
            "\n\nSystemet skal genstartes, før installationen træder i kraft.",
            "\n\nHet systeem moet opnieuw worden opgestart om de installatie van kracht te laten "
            "worden.",
            "\n\nO sistema tem de ser reiniciado para que a instalação tenha efeito." } },
    { TextId::kLibraryMissing,
        { "The shared library '%s' could not be found. The installation %s that this library be "
          "present for the installed software to work properly.",
            "La bibliothèque partagée '%s' est introuvable. L'installation %s que cette "
            "bibliothèque soit présente pour que le logiciel installé fonctionne correctement.",
            "No se encontró la biblioteca compartida '%s'. La instalación %s que esta biblioteca "
            "esté presente para que el software instalado funcione correctamente.",
            "Die gemeinsam genutzte Bibliothek '%s' wurde nicht gefunden. Die Installation %s, "
            "dass diese Bibliothek vorhanden ist, damit die installierte Software richtig "
            "funktioniert.",
            "Impossibile trovare la libreria condivisa '%s'. L'installazione %s che questa "
            "libreria sia presente perché il software installato funzioni correttamente.",
            "Finner ikke det delte biblioteket '%s'. Installasjonen %s at dette biblioteket er til "
            "stede for at den installerte programvaren skal virke som den skal.",
            "Det delade biblioteket '%s' hittades inte. Installationen %s att biblioteket finns "
            "för att den installerade programvaran ska fungera korrekt.",
            "Det delte bibliotek '%s' blev ikke fundet. Installationen %s, at biblioteket er til "
            "stede, for at den installerede software kan fungere korrekt.",
            "De gedeelde bibliotheek '%s' is niet gevonden. De installatie %s dat deze bibliotheek "
            "aanwezig is om de geïnstalleerde software goed te laten werken.",
            "A biblioteca partilhada '%s' não foi encontrada. A instalação %s que esta biblioteca "
            "esteja presente para que o software instalado funcione corretamente." } },
    { TextId::kNotEnoughMemory,
        { "Installation %s %d MB of physical RAM, and only %d MB is available. %s",
            "L'installation %s %d Mo de mémoire vive, et seuls %d Mo sont disponibles. %s",
            "La instalación %s %d MB de memoria RAM física, y solo hay %d MB disponibles. %s",
            "Die Installation %s %d MB Arbeitsspeicher, aber nur %d MB sind verfügbar. %s",
            "L'installazione %s %d MB di RAM fisica, ma solo %d MB sono disponibili. %s",
            "Installasjonen %s %d MB fysisk minne, og bare %d MB er tilgjengelig. %s",
            "Installationen %s %d MB fysiskt minne, och bara %d MB är tillgängligt. %s",
            "Installationen %s %d MB fysisk hukommelse, og kun %d MB er tilgængelig. %s",
            "De installatie %s %d MB fysiek geheugen, en er is maar %d MB beschikbaar. %s",
            "A instalação %s %d MB de memória física, e só estão disponíveis %d MB. %s" } },
    { TextId::kNotEnoughSpace,
        { "Installation %s %s of disk space, and the destination volume '%s' only has %s free.",
            "L'installation %s %s d'espace disque, et le volume de destination '%s' n'a que %s de "
            "libre.",
            "La instalación %s %s de espacio en disco, y el volumen de destino '%s' solo tiene %s "
            "libres.",
            "Die Installation %s %s Speicherplatz, aber auf dem Zielvolume '%s' sind nur %s frei.",
            "L'installazione %s %s di spazio su disco, ma il volume di destinazione '%s' ha solo "
            "%s liberi.",
            "Installasjonen %s %s diskplass, og målvolumet '%s' har bare %s ledig.",
            "Installationen %s %s diskutrymme, och målvolymen '%s' har bara %s ledigt.",
            "Installationen %s %s diskplads, og destinationsdrevet '%s' har kun %s ledigt.",
            "De installatie %s %s schijfruimte, en het doelvolume '%s' heeft maar %s vrij.",
            "A instalação %s %s de espaço em disco, e o volume de destino '%s' só tem %s "
            "livres." } },
    { TextId::kRollBackQuestion,
        { "An earlier installation of this product did not finish. Undo what it did before "
          "installing again?",
            "Une installation précédente de ce produit n'a pas abouti. Annuler ce qu'elle a fait "
            "avant de réinstaller ?",
            "Una instalación anterior de este producto no terminó. ¿Deshacer lo que hizo antes de "
            "instalar de nuevo?",
            "Eine frühere Installation dieses Produkts wurde nicht beendet. Soll rückgängig "
            "gemacht werden, was sie getan hat, bevor neu installiert wird?",
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
            "instalar de novo?" } },
    { TextId::kRollBackLeave,
        { "Leave it", "Laisser", "Dejarla", "Belassen", "Lasciare", "La være", "Låt vara",
            "Lad være", "Laten", "Deixar" } },
    { TextId::kRollBackUndo,
        { "Undo it", "Annuler", "Deshacer", "Rückgängig", "Annulla", "Angre", "Ångra", "Fortryd",
            "Ongedaan maken", "Desfazer" } },
    { TextId::kReplaceDialogReplace,
        { "Replace", "Replacer", "Sustituir", "Ersetzen", "Sostituire", "Ombytte", "Ombytta",
            "Skifte ud", "Vervangen", "Substitua" } },
    { TextId::kReplaceDialogKeep,
        { "Don't Replace", "Font pas Replacer", "Hacer no Sustituir", "Ausführen nicht Ersetzen",
            "Fare non Sostituire", "Ikke gjør det Ombytte", "Icke gör det Ombytta",
            "Lad være Skifte ud", "Verrichten niet Vervangen", "Não substitua" } },
    { TextId::kReplaceDialogFile,
        { "file", "fichier", "fichero", "datei", "archivio", "arkiv", "arkivet", "fil", "vijl",
            "Substitua" } },
    { TextId::kReplaceDialogFolder,
        { "folder", "chemise", "carpeta", "heft", "dispositivo di piegatura", "brosjyre",
            "broschyren", "omslag", "vouwblad", "dobrador" } },
    { TextId::kReplaceDialogLink,
        { "symbolic link", "lien symbolique", "conexión simbólica", "symbolisches link",
            "collegamento simbolico", "symbolsk koble sammen", "symbolisk länken",
            "symbolsk samkøre", "zinnebeeldig verbinding", "ligação simbólica" } },
    { TextId::kReplaceDialogCreated,
        { "Created :", "Créions :", "Crear :", "Erzeugen :", "Creato :", "Skapt :", "Skapade :",
            "Skabt :", "Wekken :", "Criado :" } },
    { TextId::kReplaceDialogModified,
        { "Modified :", "Modifié :", "Modificado :", "Geändert :", "Modificato :", "Modifisert :",
            "Modifierat :", "Forandret :", "Gewijzigde :", "Modificado :" } },
    { TextId::kReplaceDialogSize,
        { "Size :", "Taille :", "Talla :", "Größe :", "Formato :", "Størrelse :", "Storleken :",
            "Nummer :", "Spanwijdte :", "Tamanho :" } },
    { TextId::kReplaceDialogKind,
        { "Kind :", "Aimable :", "Bueno :", "Freundlich :", "Gentile :", "Slag :", "Slagen :",
            "Sort :", "Welwillend :", "Amável :" } },
    { TextId::kReplaceDialogPath,
        { "Path :", "Voie d'accès :", "Camino :", "Pfad :", "Percorso :", "Sti :", "Stian :",
            "Bane :", "Pad :", "Trajeto :" } },
    { TextId::kReplaceDialogVersion,
        { "Version :", "Version :", "Versión :", "Version :", "Versione :", "Versjon :",
            "Versionen :", "Gengivelse :", "Voorstelling :", "Versão :" } },
    { TextId::kReplaceDialogWith,
        { "With", "Avec", "Con", "Mit", "Con", "Med", "Med", "Hos", "Van", "Com" } },
    { TextId::kReplaceDialogApplyToAll,
        { "Apply to all future collisions", "Appliquez-vous à toutes les futures collisions",
            "Apliqúese a todas las colisiones futuras",
            "Treffen Sie auf alle zukünftigen Zusammenstöße zu",
            "Applichisi a tutti gli scontri futuri", "Henvende seg til alle fremtid sammenstøtet",
            "Hänvände sig till alla framtida sammanstöt", "Henvende sig til al senere sammenstød",
            "Toepassen voor helemaal toekomstig botsing", "Aplique a todas as colisões futuras" } },
    { TextId::kReplaceDialogQuestion,
        { "The %s '%s' already exists. Do you wish to replace existing",
            "Le %s de '%s' existe déjà Vous souhaitez substituer exister.",
            "El %s del '%s' existe ya  Usted desea substituir existir.",
            "Das %s '%s' existiert bereits  Möchten Sie das Existieren ersetzen.",
            "Il %s di '%s' già esiste  Desiderate sostituire esistere.",
            "Det %s '%s' allerede eksisterer. Vil du ønske som erstatning for eksisterende",
            "%s '%s' redan existerar. Vill du önska till ombytta existerande",
            "Den %s '%s' allerede eksisterer. Lave jer ønske som erstatning for nærværende",
            "Naar de %s '%s' reeds bestaan. Verrichten u wil voor vervangen voorhanden",
            "O %s '%s' existe já  Você deseja substituir existir." } },
    { TextId::kReplaceDialogNewer,
        { "(newer)", "(plus récent)", "(más reciente)", "(neuer)", "(più recente)", "(nyere)",
            "(nyare)", "(nyere)", "(nieuwer)", "(mais recente)" } },
    { TextId::kNotStartedNoDesktop,
        { "Not started, as there is no desktop: %s", "Non lancé, faute de bureau : %s",
            "No se ha iniciado, no hay escritorio: %s",
            "Nicht gestartet, da kein Desktop vorhanden ist: %s",
            "Non avviato, manca un desktop: %s", "Ikke startet, det finnes ikke noe skrivebord: %s",
            "Inte startad, det finns inget skrivbord: %s",
            "Ikke startet, der er intet skrivebord: %s", "Niet gestart, er is geen bureaublad: %s",
            "Não iniciado, não há ambiente de trabalho: %s" } },
    { TextId::kInstalledIn,
        { "Installed in %s", "Installé dans %s", "Instalado en %s", "Installiert in %s",
            "Installato in %s", "Installert i %s", "Installerat i %s", "Installeret i %s",
            "Geïnstalleerd in %s", "Instalado em %s" } },
    { TextId::kUsage,
        { "Usage: %s [OPTION]...", "Utilisation : %s [OPTION]...", "Uso: %s [OPCIÓN]...",
            "Aufruf: %s [OPTION]...", "Uso: %s [OPZIONE]...", "Bruk: %s [VALG]...",
            "Användning: %s [FLAGGA]...", "Brug: %s [TILVALG]...", "Gebruik: %s [OPTIE]...",
            "Utilização: %s [OPÇÃO]..." } },
    { TextId::kOptions,
        { "Installs the product this installer carries. Without options it opens its window on a "
          "desktop,\nand asks its questions on the terminal where there is none.\n\n  --unattended "
          "           install without asking, from --answers FILE\n  --answers FILE          the "
          "answer file of an unattended run\n  --record-answers FILE   write the answers of this "
          "walk to FILE\n  --progress text|json    how an unattended run reports its progress\n  "
          "--language CODE         en, fr, es, de, it, no, sv, da, nl or pt\n  --extract FOLDER    "
          "    only extract the files into FOLDER\n  --verify                check the installer "
          "and who signed it, then exit\n  --require-signature KEY  refuse an installer not signed "
          "with this key (its fingerprint)\n  --help                  show this help\n  --version  "
          "             show the product's and the installer's versions\n\nExit status: 0 "
          "installed, 1 failed or not installed, 2 wrong options or answers,\n3 requirements not "
          "met, 4 stopped.\n--verify: 0 whole and signed, 1 damaged, 2 whole but unsigned.",
            "Installe le produit que contient ce programme d'installation. Sans option, il ouvre "
            "sa fenêtre sur un bureau,\net pose ses questions dans le terminal s'il n'y en a "
            "pas.\n\n  --unattended            installer sans question, d'après --answers "
            "FICHIER\n  --answers FICHIER       le fichier de réponses d'une installation sans "
            "question\n  --record-answers FICHIER  écrire les réponses de ce parcours dans "
            "FICHIER\n  --progress text|json    comment une installation sans question rend compte "
            "de sa progression\n  --language CODE         en, fr, es, de, it, no, sv, da, nl ou "
            "pt\n  --extract DOSSIER       seulement extraire les fichiers dans DOSSIER\n  "
            "--verify                vérifier le programme d'installation et qui l'a signé, puis "
            "quitter\n  --require-signature CLÉ  refuser un programme d'installation non signé "
            "avec cette clé (son empreinte)\n  --help                  afficher cette aide\n  "
            "--version               afficher les versions du produit et du programme "
            "d'installation\n\nCode de sortie : 0 installé, 1 échec ou non installé, 2 options ou "
            "réponses erronées,\n3 conditions requises non remplies, 4 arrêté.\n--verify : 0 "
            "intact et signé, 1 endommagé, 2 intact mais non signé.",
            "Instala el producto que contiene este instalador. Sin opciones abre su ventana en un "
            "escritorio,\ny hace sus preguntas en el terminal si no lo hay.\n\n  --unattended      "
            "      instalar sin preguntar, según --answers ARCHIVO\n  --answers ARCHIVO       el "
            "archivo de respuestas de una instalación desatendida\n  --record-answers ARCHIVO  "
            "escribir las respuestas de este recorrido en ARCHIVO\n  --progress text|json    cómo "
            "informa del progreso una instalación desatendida\n  --language CÓDIGO       en, fr, "
            "es, de, it, no, sv, da, nl o pt\n  --extract CARPETA       solo extraer los archivos "
            "en CARPETA\n  --verify                comprobar el instalador y quién lo firmó, y "
            "salir\n  --require-signature CLAVE  rechazar un instalador no firmado con esta clave "
            "(su huella)\n  --help                  mostrar esta ayuda\n  --version               "
            "mostrar las versiones del producto y del instalador\n\nEstado de salida: 0 instalado, "
            "1 error o no instalado, 2 opciones o respuestas incorrectas,\n3 requisitos no "
            "cumplidos, 4 detenido.\n--verify: 0 íntegro y firmado, 1 dañado, 2 íntegro pero sin "
            "firmar.",
            "Installiert das Produkt, das dieses Installationsprogramm enthält. Ohne Optionen "
            "öffnet es sein Fenster auf einem Desktop,\nund stellt seine Fragen im Terminal, wenn "
            "keiner vorhanden ist.\n\n  --unattended            ohne Rückfragen installieren, nach "
            "--answers DATEI\n  --answers DATEI         die Antwortdatei einer unbeaufsichtigten "
            "Installation\n  --record-answers DATEI  die Antworten dieses Durchgangs in DATEI "
            "schreiben\n  --progress text|json    wie eine unbeaufsichtigte Installation ihren "
            "Fortschritt meldet\n  --language CODE         en, fr, es, de, it, no, sv, da, nl oder "
            "pt\n  --extract ORDNER        nur die Dateien in ORDNER entpacken\n  --verify         "
            "       das Installationsprogramm und seinen Unterzeichner prüfen, dann beenden\n  "
            "--require-signature SCHLÜSSEL  ein nicht mit diesem Schlüssel (seinem Fingerabdruck) "
            "signiertes Installationsprogramm ablehnen\n  --help                  diese Hilfe "
            "anzeigen\n  --version               die Versionen des Produkts und des "
            "Installationsprogramms anzeigen\n\nRückgabewert: 0 installiert, 1 fehlgeschlagen oder "
            "nicht installiert, 2 falsche Optionen oder Antworten,\n3 Voraussetzungen nicht "
            "erfüllt, 4 angehalten.\n--verify: 0 unversehrt und signiert, 1 beschädigt, 2 "
            "unversehrt, aber nicht signiert.",
            "Installa il prodotto contenuto in questo programma di installazione. Senza opzioni "
            "apre la sua finestra su un desktop,\ne pone le sue domande nel terminale se non ce "
            "n'è uno.\n\n  --unattended            installare senza domande, secondo --answers "
            "FILE\n  --answers FILE          il file di risposte di un'installazione automatica\n  "
            "--record-answers FILE   scrivere le risposte di questo percorso in FILE\n  --progress "
            "text|json    come un'installazione automatica riferisce il suo avanzamento\n  "
            "--language CODICE       en, fr, es, de, it, no, sv, da, nl o pt\n  --extract CARTELLA "
            "     solo estrarre i file in CARTELLA\n  --verify                verificare il "
            "programma di installazione e chi l'ha firmato, poi uscire\n  --require-signature "
            "CHIAVE  rifiutare un programma di installazione non firmato con questa chiave (la sua "
            "impronta)\n  --help                  mostrare questo aiuto\n  --version               "
            "mostrare le versioni del prodotto e del programma di installazione\n\nStato di "
            "uscita: 0 installato, 1 non riuscito o non installato, 2 opzioni o risposte "
            "errate,\n3 requisiti non soddisfatti, 4 fermato.\n--verify: 0 integro e firmato, 1 "
            "danneggiato, 2 integro ma non firmato.",
            "Installerer produktet som dette installasjonsprogrammet inneholder. Uten valg åpner "
            "det vinduet sitt på et skrivebord,\nog stiller spørsmålene i terminalen der det ikke "
            "finnes noe.\n\n  --unattended            installer uten spørsmål, etter --answers "
            "FIL\n  --answers FIL           svarfilen for en installasjon uten tilsyn\n  "
            "--record-answers FIL    skriv svarene fra denne gjennomgangen til FIL\n  --progress "
            "text|json    hvordan en installasjon uten tilsyn melder fremdriften\n  --language "
            "KODE         en, fr, es, de, it, no, sv, da, nl eller pt\n  --extract MAPPE         "
            "bare pakk ut filene i MAPPE\n  --verify                kontrollere "
            "installasjonsprogrammet og hvem som signerte det, og avslutte\n  --require-signature "
            "NØKKEL  avvise et installasjonsprogram som ikke er signert med denne nøkkelen "
            "(fingeravtrykket)\n  --help                  vis denne hjelpen\n  --version           "
            "    vis versjonene til produktet og installasjonsprogrammet\n\nAvslutningsstatus: 0 "
            "installert, 1 mislyktes eller ikke installert, 2 feil valg eller svar,\n3 krav ikke "
            "oppfylt, 4 stoppet.\n--verify: 0 helt og signert, 1 skadet, 2 helt, men ikke signert.",
            "Installerar produkten som detta installationsprogram innehåller. Utan flaggor öppnar "
            "det sitt fönster på ett skrivbord,\noch ställer sina frågor i terminalen där det inte "
            "finns något.\n\n  --unattended            installera utan frågor, enligt --answers "
            "FIL\n  --answers FIL           svarsfilen för en obevakad installation\n  "
            "--record-answers FIL    skriv svaren från denna genomgång till FIL\n  --progress "
            "text|json    hur en obevakad installation rapporterar förloppet\n  --language KOD     "
            "     en, fr, es, de, it, no, sv, da, nl eller pt\n  --extract MAPP          packa "
            "bara upp filerna i MAPP\n  --verify                kontrollera "
            "installationsprogrammet och vem som signerade det, och avsluta\n  --require-signature "
            "NYCKEL  vägra ett installationsprogram som inte är signerat med denna nyckel (dess "
            "fingeravtryck)\n  --help                  visa denna hjälp\n  --version               "
            "visa produktens och installationsprogrammets versioner\n\nSlutstatus: 0 installerad, "
            "1 misslyckades eller inte installerad, 2 fel flaggor eller svar,\n3 krav inte "
            "uppfyllda, 4 stoppad.\n--verify: 0 helt och signerat, 1 skadat, 2 helt men osignerat.",
            "Installerer det produkt, som dette installationsprogram indeholder. Uden tilvalg "
            "åbner det sit vindue på et skrivebord,\nog stiller sine spørgsmål i terminalen, hvor "
            "der ikke er noget.\n\n  --unattended            installer uden spørgsmål, efter "
            "--answers FIL\n  --answers FIL           svarfilen til en installation uden opsyn\n  "
            "--record-answers FIL    skriv svarene fra denne gennemgang til FIL\n  --progress "
            "text|json    hvordan en installation uden opsyn melder sit forløb\n  --language KODE  "
            "       en, fr, es, de, it, no, sv, da, nl eller pt\n  --extract MAPPE         pak kun "
            "filerne ud i MAPPE\n  --verify                kontrollere installationsprogrammet og "
            "hvem der signerede det, og afslutte\n  --require-signature NØGLE  afvise et "
            "installationsprogram, der ikke er signeret med denne nøgle (dens fingeraftryk)\n  "
            "--help                  vis denne hjælp\n  --version               vis produktets og "
            "installationsprogrammets versioner\n\nAfslutningsstatus: 0 installeret, 1 mislykkedes "
            "eller ikke installeret, 2 forkerte tilvalg eller svar,\n3 krav ikke opfyldt, 4 "
            "stoppet.\n--verify: 0 intakt og signeret, 1 beskadiget, 2 intakt, men ikke signeret.",
            "Installeert het product dat dit installatieprogramma bevat. Zonder opties opent het "
            "zijn venster op een bureaublad,\nen stelt het zijn vragen in de terminal als er geen "
            "is.\n\n  --unattended            installeren zonder vragen, volgens --answers "
            "BESTAND\n  --answers BESTAND       het antwoordbestand van een installatie zonder "
            "toezicht\n  --record-answers BESTAND  de antwoorden van deze doorloop naar BESTAND "
            "schrijven\n  --progress text|json    hoe een installatie zonder toezicht de voortgang "
            "meldt\n  --language CODE         en, fr, es, de, it, no, sv, da, nl of pt\n  "
            "--extract MAP           alleen de bestanden in MAP uitpakken\n  --verify              "
            "  het installatieprogramma en de ondertekenaar controleren, dan stoppen\n  "
            "--require-signature SLEUTEL  een installatieprogramma weigeren dat niet met deze "
            "sleutel (vingerafdruk) is ondertekend\n  --help                  deze hulp tonen\n  "
            "--version               de versies van het product en het installatieprogramma "
            "tonen\n\nAfsluitstatus: 0 geïnstalleerd, 1 mislukt of niet geïnstalleerd, 2 verkeerde "
            "opties of antwoorden,\n3 niet aan de vereisten voldaan, 4 gestopt.\n--verify: 0 "
            "onbeschadigd en ondertekend, 1 beschadigd, 2 onbeschadigd maar niet ondertekend.",
            "Instala o produto que este instalador contém. Sem opções abre a sua janela num "
            "ambiente de trabalho,\ne faz as suas perguntas no terminal quando não há nenhum.\n\n  "
            "--unattended            instalar sem perguntas, segundo --answers FICHEIRO\n  "
            "--answers FICHEIRO      o ficheiro de respostas de uma instalação sem supervisão\n  "
            "--record-answers FICHEIRO  escrever as respostas deste percurso em FICHEIRO\n  "
            "--progress text|json    como uma instalação sem supervisão relata o progresso\n  "
            "--language CÓDIGO       en, fr, es, de, it, no, sv, da, nl ou pt\n  --extract PASTA   "
            "      apenas extrair os ficheiros para PASTA\n  --verify                verificar o "
            "instalador e quem o assinou, e sair\n  --require-signature CHAVE  recusar um "
            "instalador não assinado com esta chave (a sua impressão digital)\n  --help            "
            "      mostrar esta ajuda\n  --version               mostrar as versões do produto e "
            "do instalador\n\nEstado de saída: 0 instalado, 1 falhou ou não instalado, 2 opções ou "
            "respostas erradas,\n3 requisitos não cumpridos, 4 parado.\n--verify: 0 íntegro e "
            "assinado, 1 danificado, 2 íntegro mas não assinado." } },
    { TextId::kNoFrontEnd,
        { "No display and no terminal: run it with --unattended --answers FILE (see --help).",
            "Ni écran ni terminal : lancez-le avec --unattended --answers FICHIER (voir --help).",
            "Ni pantalla ni terminal: ejecútelo con --unattended --answers ARCHIVO (vea --help).",
            "Weder Bildschirm noch Terminal: starten Sie es mit --unattended --answers DATEI "
            "(siehe --help).",
            "Né schermo né terminale: eseguirlo con --unattended --answers FILE (vedere --help).",
            "Verken skjerm eller terminal: kjør det med --unattended --answers FIL (se --help).",
            "Varken skärm eller terminal: kör det med --unattended --answers FIL (se --help).",
            "Hverken skærm eller terminal: kør det med --unattended --answers FIL (se --help).",
            "Geen scherm en geen terminal: start het met --unattended --answers BESTAND (zie "
            "--help).",
            "Sem ecrã nem terminal: execute-o com --unattended --answers FICHEIRO (veja "
            "--help)." } },
    { TextId::kBadOption,
        { "Unknown or incomplete option: %s (see --help).",
            "Option inconnue ou incomplète : %s (voir --help).",
            "Opción desconocida o incompleta: %s (vea --help).",
            "Unbekannte oder unvollständige Option: %s (siehe --help).",
            "Opzione sconosciuta o incompleta: %s (vedere --help).",
            "Ukjent eller ufullstendig valg: %s (se --help).",
            "Okänd eller ofullständig flagga: %s (se --help).",
            "Ukendt eller ufuldstændigt tilvalg: %s (se --help).",
            "Onbekende of onvolledige optie: %s (zie --help).",
            "Opção desconhecida ou incompleta: %s (veja --help)." } },
    { TextId::kAnswersUnusable,
        { "The answers cannot be used: %s", "Les réponses sont inutilisables : %s",
            "Las respuestas no se pueden usar: %s", "Die Antworten sind nicht verwendbar: %s",
            "Le risposte non sono utilizzabili: %s", "Svarene kan ikke brukes: %s",
            "Svaren kan inte användas: %s", "Svarene kan ikke bruges: %s",
            "De antwoorden zijn onbruikbaar: %s", "As respostas não podem ser usadas: %s" } },
    { TextId::kAnswerUnknownKey,
        { "unknown key", "clé inconnue", "clave desconocida", "unbekannter Schlüssel",
            "chiave sconosciuta", "ukjent nøkkel", "okänd nyckel", "ukendt nøgle",
            "onbekende sleutel", "chave desconhecida" } },
    { TextId::kAnswerRepeated,
        { "given twice", "donnée deux fois", "dada dos veces", "doppelt angegeben",
            "data due volte", "gitt to ganger", "angiven två gånger", "angivet to gange",
            "twee keer gegeven", "dada duas vezes" } },
    { TextId::kAnswerNoValue,
        { "no value", "aucune valeur", "sin valor", "kein Wert", "nessun valore", "ingen verdi",
            "inget värde", "ingen værdi", "geen waarde", "sem valor" } },
    { TextId::kAnswerBadValue,
        { "the value must be one of: %s", "la valeur doit être l'une de : %s",
            "el valor debe ser uno de: %s", "der Wert muss einer von diesen sein: %s",
            "il valore deve essere uno di: %s", "verdien må være en av: %s",
            "värdet måste vara ett av: %s", "værdien skal være en af: %s",
            "de waarde moet een van deze zijn: %s", "o valor deve ser um de: %s" } },
    { TextId::kAnswerNotKeyValue,
        { "not a \"key = value\" line", "pas une ligne « clé = valeur »",
            "no es una línea «clave = valor»", "keine Zeile der Form „Schlüssel = Wert“",
            "non è una riga «chiave = valore»", "ikke en linje «nøkkel = verdi»",
            "inte en rad ”nyckel = värde”", "ikke en linje »nøgle = værdi«",
            "geen regel „sleutel = waarde”", "não é uma linha «chave = valor»" } },
    { TextId::kAnswerTypeAndFiles,
        { "name an install type or files, not both",
            "nommez un type d'installation ou des fichiers, pas les deux",
            "indique un tipo de instalación o archivos, no ambos",
            "nennen Sie eine Installationsart oder Dateien, nicht beides",
            "indicare un tipo di installazione o dei file, non entrambi",
            "oppgi en installasjonstype eller filer, ikke begge",
            "ange en installationstyp eller filer, inte båda",
            "angiv en installationstype eller filer, ikke begge",
            "noem een installatietype of bestanden, niet beide",
            "indique um tipo de instalação ou ficheiros, não ambos" } },
    { TextId::kAnswerUnreadable,
        { "cannot be read (%s)", "illisible (%s)", "no se puede leer (%s)", "nicht lesbar (%s)",
            "non leggibile (%s)", "kan ikke leses (%s)", "kan inte läsas (%s)",
            "kan ikke læses (%s)", "onleesbaar (%s)", "não pode ser lido (%s)" } },
    { TextId::kAnswerLicense,
        { "the licence must be accepted (license = accept)",
            "la licence doit être acceptée (license = accept)",
            "la licencia debe aceptarse (license = accept)",
            "die Lizenz muss angenommen werden (license = accept)",
            "la licenza deve essere accettata (license = accept)",
            "lisensen må godtas (license = accept)", "licensen måste godkännas (license = accept)",
            "licensen skal accepteres (license = accept)",
            "de licentie moet aanvaard worden (license = accept)",
            "a licença tem de ser aceite (license = accept)" } },
    { TextId::kAnswerUnknownType,
        { "no install type is called %s", "aucun type d'installation ne s'appelle %s",
            "ningún tipo de instalación se llama %s", "keine Installationsart heißt %s",
            "nessun tipo di installazione si chiama %s", "ingen installasjonstype heter %s",
            "ingen installationstyp heter %s", "ingen installationstype hedder %s",
            "geen installatietype heet %s", "nenhum tipo de instalação se chama %s" } },
    { TextId::kAnswerUnknownFile,
        { "no file of this installer is called %s",
            "aucun fichier de ce programme d'installation ne s'appelle %s",
            "ningún archivo de este instalador se llama %s",
            "keine Datei dieses Installationsprogramms heißt %s",
            "nessun file di questo programma di installazione si chiama %s",
            "ingen fil i dette installasjonsprogrammet heter %s",
            "ingen fil i detta installationsprogram heter %s",
            "ingen fil i dette installationsprogram hedder %s",
            "geen bestand van dit installatieprogramma heet %s",
            "nenhum ficheiro deste instalador se chama %s" } },
    { TextId::kAnswerNothingChosen,
        { "nothing to install: no file is chosen", "rien à installer : aucun fichier n'est choisi",
            "nada que instalar: no se ha elegido ningún archivo",
            "nichts zu installieren: keine Datei ist gewählt",
            "niente da installare: nessun file è scelto",
            "ingenting å installere: ingen fil er valgt", "inget att installera: ingen fil är vald",
            "intet at installere: ingen fil er valgt", "niets te installeren: geen bestand gekozen",
            "nada a instalar: nenhum ficheiro escolhido" } },
    { TextId::kAnswerDestination,
        { "the destination cannot be made or written to",
            "la destination ne peut être ni créée ni écrite",
            "el destino no se puede crear ni escribir",
            "das Ziel kann weder angelegt noch beschrieben werden",
            "la destinazione non può essere creata né scritta",
            "målet kan ikke opprettes eller skrives til",
            "målet kan inte skapas eller skrivas till",
            "destinationen kan ikke oprettes eller skrives til",
            "het doel kan niet gemaakt of beschreven worden",
            "o destino não pode ser criado nem escrito" } },
    { TextId::kAnswerNotAbsolute,
        { "must be an absolute path", "doit être un chemin absolu", "debe ser una ruta absoluta",
            "muss ein absoluter Pfad sein", "deve essere un percorso assoluto",
            "må være en absolutt sti", "måste vara en absolut sökväg", "skal være en absolut sti",
            "moet een absoluut pad zijn", "tem de ser um caminho absoluto" } },
    { TextId::kAnswerNoSpace,
        { "not enough free space (%s needed)", "pas assez d'espace libre (%s nécessaires)",
            "no hay suficiente espacio libre (se necesitan %s)",
            "nicht genug freier Speicherplatz (%s benötigt)",
            "spazio libero insufficiente (servono %s)", "ikke nok ledig plass (%s trengs)",
            "inte tillräckligt med ledigt utrymme (%s behövs)", "ikke nok ledig plads (%s kræves)",
            "niet genoeg vrije ruimte (%s nodig)",
            "espaço livre insuficiente (são precisos %s)" } },
    { TextId::kAlreadyInstalled,
        { "Already installed: %s", "Déjà installé : %s", "Ya instalado: %s",
            "Bereits installiert: %s", "Già installato: %s", "Allerede installert: %s",
            "Redan installerad: %s", "Allerede installeret: %s", "Al geïnstalleerd: %s",
            "Já instalado: %s" } },
    { TextId::kCollisionRefused,
        { "Stopped: %s exists, and the answers say collisions = fail.",
            "Arrêté : %s existe, et les réponses disent collisions = fail.",
            "Detenido: %s existe y las respuestas indican collisions = fail.",
            "Angehalten: %s ist vorhanden, und die Antworten sagen collisions = fail.",
            "Fermato: %s esiste, e le risposte dicono collisions = fail.",
            "Stoppet: %s finnes, og svarene sier collisions = fail.",
            "Stoppad: %s finns, och svaren säger collisions = fail.",
            "Stoppet: %s findes, og svarene siger collisions = fail.",
            "Gestopt: %s bestaat, en de antwoorden zeggen collisions = fail.",
            "Parado: %s existe, e as respostas dizem collisions = fail." } },
    { TextId::kWizardMore,
        { "-- More -- (Enter: next page, q: to the end)",
            "-- Suite -- (Entrée : page suivante, q : jusqu'à la fin)",
            "-- Más -- (Intro: página siguiente, q: hasta el final)",
            "-- Weiter -- (Eingabe: nächste Seite, q: bis zum Ende)",
            "-- Altro -- (Invio: pagina seguente, q: fino alla fine)",
            "-- Mer -- (Enter: neste side, q: til slutten)",
            "-- Mer -- (Enter: nästa sida, q: till slutet)",
            "-- Mere -- (Enter: næste side, q: til slutningen)",
            "-- Meer -- (Enter: volgende pagina, q: naar het einde)",
            "-- Mais -- (Enter: página seguinte, q: até ao fim)" } },
    { TextId::kWizardAcceptLicense,
        { "Do you accept the licence? [y/n] ", "Acceptez-vous la licence ? [o/n] ",
            "¿Acepta la licencia? [s/n] ", "Nehmen Sie die Lizenz an? [j/n] ",
            "Accetti la licenza? [s/n] ", "Godtar du lisensen? [j/n] ",
            "Godkänner du licensen? [j/n] ", "Accepterer du licensen? [j/n] ",
            "Aanvaardt u de licentie? [j/n] ", "Aceita a licença? [s/n] " } },
    { TextId::kWizardYes, { "y", "o", "s", "j", "s", "j", "j", "j", "j", "s" } },
    { TextId::kWizardNotInstalled,
        { "Nothing was installed.", "Rien n'a été installé.", "No se ha instalado nada.",
            "Es wurde nichts installiert.", "Non è stato installato nulla.",
            "Ingenting ble installert.", "Inget installerades.", "Intet blev installeret.",
            "Er is niets geïnstalleerd.", "Nada foi instalado." } },
    { TextId::kWizardTypePrompt,
        { "Install type (number; Enter keeps %s): ",
            "Type d'installation (numéro ; Entrée garde %s) : ",
            "Tipo de instalación (número; Intro mantiene %s): ",
            "Installationsart (Nummer; Eingabe behält %s): ",
            "Tipo di installazione (numero; Invio mantiene %s): ",
            "Installasjonstype (nummer; Enter beholder %s): ",
            "Installationstyp (nummer; Enter behåller %s): ",
            "Installationstype (nummer; Enter beholder %s): ",
            "Installatietype (nummer; Enter houdt %s): ",
            "Tipo de instalação (número; Enter mantém %s): " } },
    { TextId::kWizardFilesPrompt,
        { "Numbers tick or untick files; Enter goes on: ",
            "Des numéros cochent ou décochent des fichiers ; Entrée continue : ",
            "Los números marcan o desmarcan archivos; Intro continúa: ",
            "Nummern haken Dateien an oder ab; Eingabe geht weiter: ",
            "I numeri selezionano o deselezionano i file; Invio prosegue: ",
            "Numre krysser av eller fjerner filer; Enter går videre: ",
            "Nummer markerar eller avmarkerar filer; Enter går vidare: ",
            "Numre markerer eller fjerner markering af filer; Enter går videre: ",
            "Nummers vinken bestanden aan of uit; Enter gaat verder: ",
            "Números marcam ou desmarcam ficheiros; Enter continua: " } },
    { TextId::kWizardNothingTicked,
        { "Nothing is ticked: tick at least one file.",
            "Rien n'est coché : cochez au moins un fichier.",
            "No hay nada marcado: marque al menos un archivo.",
            "Nichts ist angehakt: haken Sie mindestens eine Datei an.",
            "Nulla è selezionato: selezionare almeno un file.",
            "Ingenting er krysset av: kryss av minst én fil.",
            "Inget är markerat: markera minst en fil.", "Intet er markeret: markér mindst én fil.",
            "Niets is aangevinkt: vink minstens één bestand aan.",
            "Nada está marcado: marque pelo menos um ficheiro." } },
    { TextId::kWizardDestinationPrompt,
        { "Destination (Enter keeps %s): ", "Destination (Entrée garde %s) : ",
            "Destino (Intro mantiene %s): ", "Ziel (Eingabe behält %s): ",
            "Destinazione (Invio mantiene %s): ", "Mål (Enter beholder %s): ",
            "Mål (Enter behåller %s): ", "Destination (Enter beholder %s): ",
            "Doel (Enter houdt %s): ", "Destino (Enter mantém %s): " } },
    { TextId::kWizardFreeSpace,
        { "Free there: %s", "Libre à cet endroit : %s", "Libre allí: %s", "Dort frei: %s",
            "Libero lì: %s", "Ledig der: %s", "Ledigt där: %s", "Ledigt der: %s", "Vrij daar: %s",
            "Livre aí: %s" } },
    { TextId::kWizardConfirm,
        { "Install now? [y/n] ", "Installer maintenant ? [o/n] ", "¿Instalar ahora? [s/n] ",
            "Jetzt installieren? [j/n] ", "Installare ora? [s/n] ", "Installere nå? [j/n] ",
            "Installera nu? [j/n] ", "Installere nu? [j/n] ", "Nu installeren? [j/n] ",
            "Instalar agora? [s/n] " } },
    { TextId::kWizardChoicePrompt,
        { "Your choice (number): ", "Votre choix (numéro) : ", "Su elección (número): ",
            "Ihre Wahl (Nummer): ", "La tua scelta (numero): ", "Ditt valg (nummer): ",
            "Ditt val (nummer): ", "Dit valg (nummer): ", "Uw keuze (nummer): ",
            "A sua escolha (número): " } },
    { TextId::kWizardStopping,
        { "Stopping once the current step is whole...",
            "Arrêt dès que l'étape en cours est terminée...",
            "Deteniendo en cuanto termine el paso actual...",
            "Wird angehalten, sobald der laufende Schritt fertig ist...",
            "Arresto appena il passo corrente è completo...",
            "Stopper når det pågående trinnet er ferdig...",
            "Stoppar när det pågående steget är klart...",
            "Stopper, når det igangværende trin er færdigt...",
            "Stoppen zodra de huidige stap af is...",
            "A parar assim que o passo atual terminar..." } },
    { TextId::kInstallerDamaged,
        { "The installer is damaged: %s does not match. Download it again.",
            "Le programme d'installation est endommagé : %s ne correspond pas. Téléchargez-le à "
            "nouveau.",
            "El instalador está dañado: %s no coincide. Descárguelo de nuevo.",
            "Das Installationsprogramm ist beschädigt: %s stimmt nicht überein. Laden Sie es "
            "erneut herunter.",
            "Il programma di installazione è danneggiato: %s non corrisponde. Scaricarlo di nuovo.",
            "Installasjonsprogrammet er skadet: %s stemmer ikke. Last det ned på nytt.",
            "Installationsprogrammet är skadat: %s stämmer inte. Hämta det igen.",
            "Installationsprogrammet er beskadiget: %s passer ikke. Hent det igen.",
            "Het installatieprogramma is beschadigd: %s klopt niet. Download het opnieuw.",
            "O instalador está danificado: %s não corresponde. Transfira-o novamente." } },
    { TextId::kDamagedRecord,
        { "its configuration record", "son enregistrement de configuration",
            "su registro de configuración", "sein Konfigurationsdatensatz",
            "il suo record di configurazione", "konfigurasjonsposten", "dess konfigurationspost",
            "dets konfigurationspost", "het configuratierecord",
            "o seu registo de configuração" } },
    { TextId::kDamagedDeinstaller,
        { "its de-installer", "son programme de désinstallation", "su desinstalador",
            "sein Deinstallationsprogramm", "il suo programma di disinstallazione",
            "avinstallasjonsprogrammet", "dess avinstallationsprogram",
            "dets afinstallationsprogram", "het verwijderprogramma", "o seu desinstalador" } },
    { TextId::kDamagedPayload,
        { "payload item %s", "l'élément %s", "el elemento %s", "Element %s", "l'elemento %s",
            "element %s", "objekt %s", "element %s", "onderdeel %s", "o elemento %s" } },
    { TextId::kDamagedTexts,
        { "its texts", "ses textes", "sus textos", "seine Texte", "i suoi testi", "tekstene",
            "dess texter", "dets tekster", "de teksten", "os seus textos" } },
    { TextId::kDamagedManifest,
        { "its table of contents", "sa table des matières", "su índice", "sein Inhaltsverzeichnis",
            "il suo indice", "innholdsfortegnelsen", "dess innehållsförteckning",
            "dets indholdsfortegnelse", "de inhoudsopgave", "o seu índice" } },
    { TextId::kDamagedOther,
        { "its part %s", "sa partie %s", "su parte %s", "sein Teil %s", "la sua parte %s",
            "delen %s", "dess del %s", "dets del %s", "onderdeel %s", "a sua parte %s" } },
    { TextId::kSignedBy,
        { "Signed by %s, key %s", "Signé par %s, clé %s", "Firmado por %s, clave %s",
            "Signiert von %s, Schlüssel %s", "Firmato da %s, chiave %s", "Signert av %s, nøkkel %s",
            "Signerat av %s, nyckel %s", "Signeret af %s, nøgle %s",
            "Ondertekend door %s, sleutel %s", "Assinado por %s, chave %s" } },
    { TextId::kUnsigned,
        { "Unsigned", "Non signé", "Sin firmar", "Nicht signiert", "Non firmato", "Ikke signert",
            "Osignerat", "Ikke signeret", "Niet ondertekend", "Não assinado" } },
    { TextId::kBadSignature,
        { "The installer's signature does not match it: it was changed after it was signed. "
          "Download it again from its publisher.",
            "La signature du programme d'installation ne lui correspond pas : il a été modifié "
            "après sa signature. Téléchargez-le à nouveau auprès de son éditeur.",
            "La firma del instalador no le corresponde: se modificó después de firmarse. "
            "Descárguelo de nuevo de su editor.",
            "Die Signatur des Installationsprogramms passt nicht zu ihm: Es wurde nach dem "
            "Signieren verändert. Laden Sie es erneut beim Herausgeber herunter.",
            "La firma del programma di installazione non corrisponde: è stato modificato dopo la "
            "firma. Scaricarlo di nuovo dal suo editore.",
            "Signaturen passer ikke til installasjonsprogrammet: det ble endret etter at det ble "
            "signert. Last det ned på nytt fra utgiveren.",
            "Signaturen stämmer inte med installationsprogrammet: det ändrades efter att det "
            "signerades. Hämta det igen från utgivaren.",
            "Signaturen passer ikke til installationsprogrammet: det blev ændret, efter at det "
            "blev signeret. Hent det igen fra udgiveren.",
            "De handtekening past niet bij het installatieprogramma: het is na het ondertekenen "
            "gewijzigd. Download het opnieuw bij de uitgever.",
            "A assinatura não corresponde ao instalador: foi alterado depois de assinado. "
            "Transfira-o novamente do seu editor." } },
    { TextId::kVerifiedSigned,
        { "The installer is whole. %s.", "Le programme d'installation est intact. %s.",
            "El instalador está íntegro. %s.", "Das Installationsprogramm ist unversehrt. %s.",
            "Il programma di installazione è integro. %s.", "Installasjonsprogrammet er helt. %s.",
            "Installationsprogrammet är helt. %s.", "Installationsprogrammet er intakt. %s.",
            "Het installatieprogramma is onbeschadigd. %s.", "O instalador está íntegro. %s." } },
    { TextId::kVerifiedUnsigned,
        { "The installer is whole, but unsigned: nothing shows who made it.",
            "Le programme d'installation est intact, mais non signé : rien n'indique qui l'a "
            "fait.",
            "El instalador está íntegro, pero sin firmar: nada indica quién lo hizo.",
            "Das Installationsprogramm ist unversehrt, aber nicht signiert: Nichts zeigt, wer es "
            "erstellt hat.",
            "Il programma di installazione è integro, ma non firmato: nulla indica chi l'ha fatto.",
            "Installasjonsprogrammet er helt, men ikke signert: ingenting viser hvem som laget "
            "det.",
            "Installationsprogrammet är helt, men osignerat: inget visar vem som gjorde det.",
            "Installationsprogrammet er intakt, men ikke signeret: intet viser, hvem der lavede "
            "det.",
            "Het installatieprogramma is onbeschadigd, maar niet ondertekend: niets laat zien wie "
            "het maakte.",
            "O instalador está íntegro, mas não assinado: nada mostra quem o fez." } },
    { TextId::kNotRequiredKey,
        { "The installer is not signed with the required key %s (%s).",
            "Le programme d'installation n'est pas signé avec la clé exigée %s (%s).",
            "El instalador no está firmado con la clave exigida %s (%s).",
            "Das Installationsprogramm ist nicht mit dem verlangten Schlüssel %s signiert (%s).",
            "Il programma di installazione non è firmato con la chiave richiesta %s (%s).",
            "Installasjonsprogrammet er ikke signert med den påkrevde nøkkelen %s (%s).",
            "Installationsprogrammet är inte signerat med den begärda nyckeln %s (%s).",
            "Installationsprogrammet er ikke signeret med den krævede nøgle %s (%s).",
            "Het installatieprogramma is niet ondertekend met de vereiste sleutel %s (%s).",
            "O instalador não está assinado com a chave exigida %s (%s)." } },
    { TextId::kDamagedProgram,
        { "its program", "son programme", "su programa", "sein Programm", "il suo programma",
            "programmet", "dess program", "dets program", "het programma", "o seu programa" } },
    { TextId::kUndoingUnfinished,
        { "Undoing the unfinished installation...", "Annulation de l'installation inachevée...",
            "Deshaciendo la instalación sin terminar...",
            "Unvollständige Installation wird rückgängig gemacht...",
            "Annullamento dell'installazione incompleta...",
            "Angrer den ufullstendige installasjonen...",
            "Ångrar den ofullständiga installationen...",
            "Fortryder den ufuldstændige installation...",
            "Onvoltooide installatie ongedaan maken...", "A anular a instalação inacabada..." } },
    { TextId::kPassNotStarted,
        { "The installation did not start.", "L'installation n'a pas commencé.",
            "La instalación no se ha iniciado.", "Die Installation wurde nicht begonnen.",
            "L'installazione non è iniziata.", "Installasjonen startet ikke.",
            "Installationen startade inte.", "Installationen startede ikke.",
            "De installatie is niet begonnen.", "A instalação não começou." } },
    { TextId::kAlsoInstallsInto,
        { "Files also go to:", "Des fichiers vont aussi dans :", "También se instalan archivos en:",
            "Dateien kommen auch nach:", "Alcuni file vanno anche in:", "Filer legges også i:",
            "Filer hamnar också i:", "Filer lægges også i:", "Bestanden gaan ook naar:",
            "Também são instalados ficheiros em:" } },
    { TextId::kSpaceShortWarning,
        { "Needs %s, only %s free on %s", "Nécessite %s, seulement %s libres sur %s",
            "Necesita %s, solo hay %s libres en %s", "Benötigt %s, nur %s frei auf %s",
            "Servono %s, solo %s liberi su %s", "Trenger %s, bare %s ledig på %s",
            "Kräver %s, bara %s ledigt på %s", "Kræver %s, kun %s ledig på %s",
            "Vereist %s, slechts %s vrij op %s", "Precisa de %s, só %s livres em %s" } },
    { TextId::kDestinationUnusable,
        { "Cannot install into %s: %s", "Impossible d'installer dans %s : %s",
            "No se puede instalar en %s: %s", "Installation in %s nicht möglich: %s",
            "Impossibile installare in %s: %s", "Kan ikke installere i %s: %s",
            "Kan inte installera i %s: %s", "Kan ikke installere i %s: %s",
            "Kan niet installeren in %s: %s", "Não é possível instalar em %s: %s" } },
    { TextId::kStopQuestion,
        { "Stop the installation? What it has placed so far can be removed afterwards.",
            "Arrêter l'installation ? Ce qu'elle a déjà installé pourra être supprimé ensuite.",
            "¿Detener la instalación? Lo que ya ha instalado podrá eliminarse después.",
            "Installation anhalten? Was sie bisher abgelegt hat, kann danach entfernt werden.",
            "Interrompere l'installazione? Ciò che ha già installato potrà essere rimosso dopo.",
            "Stoppe installasjonen? Det den har lagt på plass, kan fjernes etterpå.",
            "Stoppa installationen? Det som redan har lagts på plats kan tas bort efteråt.",
            "Stop installationen? Det, den allerede har lagt på plads, kan fjernes bagefter.",
            "De installatie stoppen? Wat al geplaatst is, kan daarna worden verwijderd.",
            "Parar a instalação? O que já foi colocado pode ser removido depois." } },
    { TextId::kGoOn,
        { "Go On", "Continuer", "Seguir", "Weitermachen", "Proseguire", "Fortsett", "Fortsätt",
            "Fortsæt", "Doorgaan", "Prosseguir" } },
    { TextId::kStoppedWithLeftovers,
        { "The installation was stopped before it could complete. What it placed so far is "
          "still in '%s'. Remove it?",
            "L'installation a été arrêtée avant la fin. Ce qu'elle a déjà installé se trouve "
            "encore dans '%s'. Le supprimer ?",
            "La instalación se detuvo antes de terminar. Lo que ya había instalado sigue en "
            "'%s'. ¿Eliminarlo?",
            "Die Installation wurde vor ihrem Ende angehalten. Was sie bisher abgelegt hat, "
            "liegt noch in '%s'. Entfernen?",
            "L'installazione è stata interrotta prima della fine. Ciò che aveva già installato è "
            "ancora in '%s'. Rimuoverlo?",
            "Installasjonen ble stoppet før den var ferdig. Det den hadde lagt på plass, ligger "
            "fortsatt i '%s'. Fjerne det?",
            "Installationen stoppades innan den var klar. Det den hade lagt på plats finns kvar "
            "i '%s'. Ta bort det?",
            "Installationen blev stoppet, før den var færdig. Det, den havde lagt på plads, "
            "ligger stadig i '%s'. Fjern det?",
            "De installatie is gestopt voordat ze klaar was. Wat al geplaatst was, staat nog in "
            "'%s'. Verwijderen?",
            "A instalação foi parada antes de terminar. O que já tinha colocado continua em "
            "'%s'. Removê-lo?" } },
    { TextId::kDone,
        { "Done", "Terminé", "Hecho", "Fertig", "Fatto", "Ferdig", "Klar", "Færdig", "Klaar",
            "Concluído" } },
    { TextId::kReinstallQuestion,
        { "An earlier installation is in '%s'. Replace it? The earlier folder goes to the "
          "Trash, with every file in it, also the ones you changed.",
            "Une installation précédente se trouve dans '%s'. La remplacer ? L'ancien dossier "
            "part à la corbeille, avec tous ses fichiers, y compris ceux que vous avez modifiés.",
            "Hay una instalación anterior en '%s'. ¿Sustituirla? La carpeta anterior va a la "
            "papelera, con todos sus archivos, también los que usted cambió.",
            "In '%s' liegt eine frühere Installation. Ersetzen? Der frühere Ordner kommt in den "
            "Papierkorb, mit allen Dateien darin, auch den von Ihnen geänderten.",
            "In '%s' c'è un'installazione precedente. Sostituirla? La cartella precedente va nel "
            "cestino, con tutti i suoi file, anche quelli che avete modificato.",
            "En tidligere installasjon ligger i '%s'. Erstatte den? Den tidligere mappen går i "
            "papirkurven, med alle filene i den, også dem du har endret.",
            "En tidigare installation finns i '%s'. Ersätta den? Den tidigare mappen hamnar i "
            "papperskorgen, med alla filer i den, även dem du har ändrat.",
            "En tidligere installation ligger i '%s'. Erstat den? Den tidligere mappe kommer i "
            "papirkurven, med alle filer i den, også dem, du har ændret.",
            "Er staat een eerdere installatie in '%s'. Vervangen? De eerdere map gaat naar de "
            "prullenbak, met alle bestanden erin, ook die u hebt gewijzigd.",
            "Há uma instalação anterior em '%s'. Substituí-la? A pasta anterior vai para o "
            "lixo, com todos os ficheiros, também os que alterou." } },
    { TextId::kChooseAnotherFolder,
        { "Another Folder…", "Autre dossier…", "Otra carpeta…", "Anderer Ordner…",
            "Altra cartella…", "Annen mappe…", "Annan mapp…", "Anden mappe…", "Andere map…",
            "Outra pasta…" } },
    { TextId::kDestinationStepForAll,
        { "For all users: select a folder and press Install",
            "Pour tous : choisissez un dossier, puis Installer",
            "Para todos: elija una carpeta y pulse Instalar",
            "Für alle Benutzer: Ordner wählen, Installieren",
            "Per tutti: scegliete una cartella e Installa",
            "For alle brukere: velg mappe og trykk Installer",
            "För alla användare: välj mapp, tryck Installera",
            "For alle brugere: vælg mappe og tryk Installer",
            "Voor iedereen: kies een map en druk op Installeren",
            "Para todos: escolha uma pasta e prima Instalar" } },
    { TextId::kFolderPanelTitle,
        { "Destination Folder", "Dossier de destination", "Carpeta de destino", "Zielordner",
            "Cartella di destinazione", "Målmappe", "Målmapp", "Destinationsmappe", "Doelmap",
            "Pasta de destino" } },
    { TextId::kFolderPanelChoose,
        { "Choose", "Choisir", "Elegir", "Auswählen", "Scegli", "Velg", "Välj", "Vælg", "Kiezen",
            "Escolher" } },
    { TextId::kFolderPanelParent,
        { "Parent", "Remonter", "Subir", "Nach oben", "Risali", "Opp", "Upp", "Op", "Omhoog",
            "Subir" } },
    { TextId::kFolderPanelVolumes,
        { "Volumes", "Volumes", "Volúmenes", "Laufwerke", "Volumi", "Volumer", "Volymer", "Drev",
            "Volumes", "Volumes" } },
    { TextId::kFolderPanelShowHidden,
        { "Show hidden folders", "Afficher les dossiers cachés", "Mostrar carpetas ocultas",
            "Versteckte Ordner anzeigen", "Mostra cartelle nascoste", "Vis skjulte mapper",
            "Visa dolda mappar", "Vis skjulte mapper", "Verborgen mappen tonen",
            "Mostrar pastas ocultas" } },
    { TextId::kFolderPanelNewFolder,
        { "New Folder", "Nouveau dossier", "Nueva carpeta", "Neuer Ordner", "Nuova cartella",
            "Ny mappe", "Ny mapp", "Ny mappe", "Nieuwe map", "Nova pasta" } },
    { TextId::kFolderPanelFolderName,
        { "Name of the new folder:", "Nom du nouveau dossier :", "Nombre de la nueva carpeta:",
            "Name des neuen Ordners:", "Nome della nuova cartella:", "Navn på den nye mappen:",
            "Namn på den nya mappen:", "Navn på den nye mappe:", "Naam van de nieuwe map:",
            "Nome da nova pasta:" } },
    { TextId::kFolderPanelCreate,
        { "Create", "Créer", "Crear", "Erstellen", "Crea", "Opprett", "Skapa", "Opret", "Maken",
            "Criar" } },
    { TextId::kFolderPanelGoTo,
        { "Go to:", "Aller à :", "Ir a:", "Gehe zu:", "Vai a:", "Gå til:", "Gå till:", "Gå til:",
            "Ga naar:", "Ir para:" } },
    { TextId::kFolderPanelNoFolder,
        { "There is no folder \"%s\".", "Il n'y a pas de dossier « %s ».",
            "No existe la carpeta «%s».", "Es gibt keinen Ordner „%s“.",
            "La cartella \"%s\" non esiste.", "Det finnes ingen mappe «%s».",
            "Det finns ingen mapp ”%s”.", "Der findes ingen mappe »%s«.", "Er is geen map \"%s\".",
            "Não existe a pasta \"%s\"." } },
    { TextId::kFolderPanelNameTaken,
        { "Something named \"%s\" is already there.", "Un élément nommé « %s » existe déjà ici.",
            "Ya hay algo llamado «%s» aquí.", "Hier gibt es bereits etwas namens „%s“.",
            "Esiste già un elemento chiamato \"%s\".", "Noe som heter «%s» finnes allerede her.",
            "Något som heter ”%s” finns redan här.", "Der findes allerede noget ved navn »%s« her.",
            "Er is hier al iets met de naam \"%s\".", "Já existe aqui algo chamado \"%s\"." } },
    { TextId::kFolderPanelBadName,
        { "\"%s\" cannot be the name of a folder.", "« %s » ne peut pas être le nom d'un dossier.",
            "«%s» no puede ser el nombre de una carpeta.",
            "„%s“ kann nicht der Name eines Ordners sein.",
            "\"%s\" non può essere il nome di una cartella.",
            "«%s» kan ikke være navnet på en mappe.", "”%s” kan inte vara namnet på en mapp.",
            "»%s« kan ikke være navnet på en mappe.", "\"%s\" kan niet de naam van een map zijn.",
            "\"%s\" não pode ser o nome de uma pasta." } },
    { TextId::kFolderPanelCannotMake,
        { "The folder \"%s\" cannot be made here.", "Le dossier « %s » ne peut pas être créé ici.",
            "La carpeta «%s» no se puede crear aquí.",
            "Der Ordner „%s“ kann hier nicht angelegt werden.",
            "La cartella \"%s\" non può essere creata qui.", "Mappen «%s» kan ikke opprettes her.",
            "Mappen ”%s” kan inte skapas här.", "Mappen »%s« kan ikke oprettes her.",
            "De map \"%s\" kan hier niet worden gemaakt.",
            "A pasta \"%s\" não pode ser criada aqui." } },
    { TextId::kDeinstallerIntro,
        { "This removes the following product from this computer:",
            "Ce programme supprime de cet ordinateur le produit suivant :",
            "Esto elimina de este ordenador el siguiente producto:",
            "Hiermit wird das folgende Produkt von diesem Computer entfernt:",
            "Questo rimuove dal computer il seguente prodotto:",
            "Dette fjerner følgende produkt fra datamaskinen:",
            "Detta tar bort följande produkt från datorn:",
            "Dette fjerner følgende produkt fra computeren:",
            "Hiermee wordt het volgende product van deze computer verwijderd:",
            "Isto remove o seguinte produto deste computador:" } },
    { TextId::kDeinstallerListHeading,
        { "What is removed, and what the installation replaced and gets back:",
            "Ce qui est supprimé, et ce que l'installation avait remplacé et qui revient :",
            "Lo que se elimina, y lo que la instalación reemplazó y se restaura:",
            "Was entfernt wird, und was die Installation ersetzt hatte und zurückkommt:",
            "Ciò che viene rimosso, e ciò che l'installazione aveva sostituito e torna:",
            "Det som fjernes, og det installasjonen erstattet og som settes tilbake:",
            "Det som tas bort, och det installationen ersatte och som läggs tillbaka:",
            "Det, der fjernes, og det, installationen erstattede og som lægges tilbage:",
            "Wat verwijderd wordt, en wat de installatie verving en terugkomt:",
            "O que é removido, e o que a instalação substituiu e é reposto:" } },
    { TextId::kDeinstallerRemove,
        { "Remove", "Supprimer", "Eliminar", "Entfernen", "Rimuovi", "Fjern", "Ta bort", "Fjern",
            "Verwijderen", "Remover" } },
    { TextId::kDeinstallerCancel,
        { "Cancel", "Annuler", "Cancelar", "Abbrechen", "Annulla", "Avbryt", "Avbryt", "Annuller",
            "Annuleren", "Cancelar" } },
    { TextId::kDeinstallerClose,
        { "Close", "Fermer", "Cerrar", "Schließen", "Chiudi", "Lukk", "Stäng", "Luk", "Sluiten",
            "Fechar" } },
    { TextId::kDeinstallerRemoving,
        { "Removing…", "Suppression…", "Eliminando…", "Wird entfernt…", "Rimozione…", "Fjerner…",
            "Tar bort…", "Fjerner…", "Bezig met verwijderen…", "A remover…" } },
    { TextId::kDeinstallerDone,
        { "Everything was removed.", "Tout a été supprimé.", "Se eliminó todo.",
            "Alles wurde entfernt.", "È stato rimosso tutto.", "Alt ble fjernet.",
            "Allt togs bort.", "Alt blev fjernet.", "Alles is verwijderd.",
            "Tudo foi removido." } },
    { TextId::kDeinstallerIncomplete,
        { "Some items were kept or could not be removed:",
            "Certains éléments ont été conservés ou n'ont pas pu être supprimés :",
            "Algunos elementos se conservaron o no se pudieron eliminar:",
            "Einige Objekte wurden behalten oder konnten nicht entfernt werden:",
            "Alcuni elementi sono stati conservati o non è stato possibile rimuoverli:",
            "Noen elementer ble beholdt eller kunne ikke fjernes:",
            "Några objekt behölls eller kunde inte tas bort:",
            "Nogle elementer blev beholdt eller kunne ikke fjernes:",
            "Sommige onderdelen zijn behouden of konden niet worden verwijderd:",
            "Alguns itens foram mantidos ou não puderam ser removidos:" } },
    { TextId::kDeinstallerToRemove,
        { "Remove", "Supprimer", "Eliminar", "Entfernen", "Rimuovere", "Fjerne", "Ta bort",
            "Fjerne", "Verwijderen", "Remover" } },
    { TextId::kDeinstallerToRestore,
        { "Put back", "Remettre", "Restaurar", "Zurücklegen", "Ripristinare", "Sette tilbake",
            "Lägga tillbaka", "Lægge tilbage", "Terugzetten", "Repor" } },
    { TextId::kDeinstallerRemoved,
        { "Removed", "Supprimé", "Eliminado", "Entfernt", "Rimosso", "Fjernet", "Borttaget",
            "Fjernet", "Verwijderd", "Removido" } },
    { TextId::kDeinstallerRestored,
        { "Put back", "Remis", "Restaurado", "Zurückgelegt", "Ripristinato", "Satt tilbake",
            "Tillbakalagt", "Lagt tilbage", "Teruggezet", "Reposto" } },
    { TextId::kDeinstallerKept,
        { "Kept", "Conservé", "Conservado", "Behalten", "Conservato", "Beholdt", "Behållet",
            "Beholdt", "Behouden", "Mantido" } },
    { TextId::kDeinstallerLeft,
        { "Stays", "Reste", "Se queda", "Bleibt", "Resta", "Blir", "Stannar", "Bliver", "Blijft",
            "Fica" } },
    { TextId::kDeinstallerFailed,
        { "Failed", "Échec", "Error", "Fehlgeschlagen", "Non riuscito", "Mislyktes", "Misslyckades",
            "Mislykkedes", "Mislukt", "Falhou" } },
    { TextId::kDeinstallerProblem,
        { "Doubtful record", "Registre douteux", "Registro dudoso", "Zweifelhafter Eintrag",
            "Registro dubbio", "Tvilsom oppføring", "Tveksam post", "Tvivlsom post",
            "Twijfelachtig gegeven", "Registo duvidoso" } },
    { TextId::kDeinstallerNoRecord,
        { "There is nothing to remove: the installation's record cannot be read.",
            "Il n'y a rien à supprimer : le registre de l'installation est illisible.",
            "No hay nada que eliminar: no se puede leer el registro de la instalación.",
            "Es gibt nichts zu entfernen: Das Protokoll der Installation ist nicht lesbar.",
            "Non c'è nulla da rimuovere: il registro dell'installazione non è leggibile.",
            "Det er ingenting å fjerne: installasjonens register kan ikke leses.",
            "Det finns inget att ta bort: installationens register kan inte läsas.",
            "Der er intet at fjerne: installationens register kan ikke læses.",
            "Er is niets te verwijderen: het register van de installatie is onleesbaar.",
            "Não há nada a remover: o registo da instalação não pode ser lido." } },
    { TextId::kDeinstallerLogAt,
        { "Details:", "Détails :", "Detalles:", "Einzelheiten:", "Dettagli:", "Detaljer:",
            "Detaljer:", "Detaljer:", "Details:", "Detalhes:" } },
    { TextId::kDeinstallerTaken,
        { "What the installation replaced here cannot go back: something new has taken its place.",
            "Ce que l'installation a remplacé ici ne peut pas revenir : un nouvel élément a pris "
            "sa place.",
            "Lo que la instalación reemplazó aquí no puede volver: algo nuevo ocupa su lugar.",
            "Was die Installation hier ersetzt hat, kann nicht zurück: Etwas Neues steht an seiner "
            "Stelle.",
            "Ciò che l'installazione ha sostituito qui non può tornare: qualcosa di nuovo ha preso "
            "il suo posto.",
            "Det installasjonen erstattet her kan ikke settes tilbake: noe nytt har tatt plassen.",
            "Det installationen ersatte här kan inte läggas tillbaka: något nytt har tagit "
            "platsen.",
            "Det, installationen erstattede her, kan ikke lægges tilbage: noget nyt har taget "
            "pladsen.",
            "Wat de installatie hier verving kan niet terug: er staat iets nieuws op die plaats.",
            "O que a instalação substituiu aqui não pode voltar: algo novo ocupou o seu lugar." } },
    { TextId::kDeinstallerKeepCurrent,
        { "Keep the new one", "Garder le nouveau", "Conservar lo nuevo", "Neues behalten",
            "Tieni il nuovo", "Behold det nye", "Behåll det nya", "Behold det nye", "Nieuwe houden",
            "Manter o novo" } },
    { TextId::kDeinstallerPutBackOld,
        { "Put back the old one", "Remettre l'ancien", "Restaurar lo antiguo", "Altes zurücklegen",
            "Ripristina il vecchio", "Sett tilbake det gamle", "Lägg tillbaka det gamla",
            "Læg det gamle tilbage", "Oude terugzetten", "Repor o antigo" } },
    { TextId::kDeinstallerWhyChanged,
        { "It was changed after the installation.", "Il a été modifié après l'installation.",
            "Se modificó después de la instalación.", "Es wurde nach der Installation geändert.",
            "È stato modificato dopo l'installazione.", "Det ble endret etter installasjonen.",
            "Det ändrades efter installationen.", "Det blev ændret efter installationen.",
            "Het is na de installatie gewijzigd.", "Foi alterado depois da instalação." } },
    { TextId::kDeinstallerWhyNotOurs,
        { "The installation did not put it there.", "Ce n'est pas l'installation qui l'a placé là.",
            "La instalación no lo puso ahí.", "Die Installation hat es nicht dorthin gelegt.",
            "Non è stato messo lì dall'installazione.", "Installasjonen la det ikke der.",
            "Installationen lade det inte där.", "Installationen lagde det ikke der.",
            "De installatie heeft het daar niet neergezet.",
            "Não foi a instalação que o pôs aí." } },
    { TextId::kDeinstallerWhyUserFiles,
        { "It holds files the installation did not put there.",
            "Il contient des fichiers que l'installation n'a pas placés.",
            "Contiene archivos que la instalación no puso ahí.",
            "Es enthält Dateien, die nicht von der Installation stammen.",
            "Contiene file che non provengono dall'installazione.",
            "Den inneholder filer som installasjonen ikke la der.",
            "Den innehåller filer som installationen inte lade där.",
            "Den indeholder filer, som installationen ikke lagde der.",
            "Het bevat bestanden die niet van de installatie komen.",
            "Contém ficheiros que a instalação não pôs aí." } },
    { TextId::kDeinstallerWhyTaken,
        { "Its old place is taken; it stays where it is.",
            "Son ancienne place est prise ; il reste où il est.",
            "Su antiguo lugar está ocupado; se queda donde está.",
            "Sein alter Platz ist belegt; es bleibt, wo es ist.",
            "Il suo vecchio posto è occupato; resta dov'è.",
            "Den gamle plassen er opptatt; det blir der det er.",
            "Dess gamla plats är upptagen; det stannar där det är.",
            "Dens gamle plads er optaget; det bliver, hvor det er.",
            "Zijn oude plaats is bezet; het blijft waar het is.",
            "O seu antigo lugar está ocupado; fica onde está." } },
    { TextId::kDeinstallerPutBackEarlier,
        { "Put back the earlier installation from the Trash",
            "Remettre l'installation précédente depuis la corbeille",
            "Restaurar la instalación anterior desde la papelera",
            "Frühere Installation aus dem Papierkorb zurücklegen",
            "Ripristinare l'installazione precedente dal cestino",
            "Legg tilbake den tidligere installasjonen fra papirkurven",
            "Lägg tillbaka den tidigare installationen från papperskorgen",
            "Læg den tidligere installation tilbage fra papirkurven",
            "De eerdere installatie uit de prullenbak terugzetten",
            "Repor a instalação anterior a partir do lixo" } },
    { TextId::kDeinstallerEarlierInTrash,
        { "The earlier installation stays in the Trash.",
            "L'installation précédente reste dans la corbeille.",
            "La instalación anterior se queda en la papelera.",
            "Die frühere Installation bleibt im Papierkorb.",
            "L'installazione precedente resta nel cestino.",
            "Den tidligere installasjonen blir liggende i papirkurven.",
            "Den tidigare installationen ligger kvar i papperskorgen.",
            "Den tidligere installation bliver i papirkurven.",
            "De eerdere installatie blijft in de prullenbak.",
            "A instalação anterior fica no lixo." } },
};

const std::array<const char*, LocalizedTextTable::kLanguageCount> kCodes
    = { "en", "fr", "es", "de", "it", "no", "sv", "da", "nl", "pt" };

const Row* FindRow(int32 id)
{
    const Row* end = kRows + std::size(kRows);
    const Row* row
        = std::lower_bound(kRows, end, id, [](const Row& r, int32 value) { return r.id < value; });
    return row != end && row->id == id ? row : nullptr;
}

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
        return kCodes[0];
    return kCodes[size_t(menuIndex)];
}

int32 LocalizedTextTable::LanguageIndex(const char* code)
{
    if (code == nullptr)
        return -1;
    for (size_t i = 0; i < kCodes.size(); i++) {
        if (std::strcmp(kCodes[i], code) == 0)
            return int32(i);
    }
    return -1;
}

const char* LocalizedTextTable::Text(const char* code, const int32& id)
{
    int32 index = LanguageIndex(code);
    const Row* row = FindRow(id);
    if (index < 0 || row == nullptr)
        return nullptr;
    return row->texts[size_t(index)];
}

const char* LocalizedTextTable::TextOrEnglish(const char* code, const int32& id)
{
    const char* text = Text(code, id);
    if (text == nullptr)
        text = Text("en", id);
    return text != nullptr ? text : "";
}

std::vector<int32> LocalizedTextTable::Ids(const int32& first, const int32& last)
{
    std::vector<int32> ids;
    for (const Row& row : kRows) {
        if (row.id >= first && row.id <= last)
            ids.push_back(row.id);
    }
    return ids;
}

std::string LocalizedTextTable::ResourceName(const char* code, const int32& id)
{
    char name[32];
    std::snprintf(name, sizeof(name), "%s:%ld", code != nullptr ? code : "", long(id));
    return name;
}

status_t LocalizedTextTable::AddToResources(BResources& resources, const int32& firstResourceId,
    const int32& firstTextId, const int32& lastTextId)
{
    int32 nextId = firstResourceId;
    for (const char* code : kCodes) {
        for (int32 id : Ids(firstTextId, lastTextId)) {
            std::string name = ResourceName(code, id);
            const char* text = Text(code, id);
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
