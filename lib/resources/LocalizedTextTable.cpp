// The text data, one row per text id (TextIds.h), one column per language
// in the menu's order: en, fr, es, de, it, no, sv, da, nl, pt.
//
// Texts that take printf arguments (kApplicationMissing, kInstallingItem,
// kUnableToRun, kCannotCreateFolder, kLibraryMissing, kNotEnoughMemory,
// kNotEnoughSpace, kReplaceDialogQuestion) keep the English conversions in
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
