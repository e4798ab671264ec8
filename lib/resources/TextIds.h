#pragma once

// Every text a user of the installer or the de-installer reads, by id: the one
// home of these ids. The texts themselves, in the ten languages of the
// language menu, are in one table (LocalizedTextTable). The authoring tool
// writes them into every installer and de-installer as string resources
// named "<code>:<id>", so that a product can ship its own wording of any of
// them; the programs read them back from there (oLocalize, KolvastTexts).
//
// 1000 to 1045 are the texts every installer has carried, with the numbers
// stored installers use; 1100 and up are texts of the installer that came
// later; 3000 and up are the de-installer's.

#include <SupportDefs.h>

namespace TextId {

enum : int32 {
    // The installer window and the install pass.
    kLanguageMenu = 1000,
    kLicenseBox = 1001,
    kInstallBox = 1002,
    kGroupLabel = 1003,
    kFilesLabel = 1004,
    kFolderTip = 1005,
    kDisksLabel = 1006,
    kInstall = 1007,
    kAgree = 1008,
    kDestinationStep = 1009,
    kLicenseStep = 1010,
    kAbort = 1011,
    kStop = 1012,
    // "The folder '" <name> "' already exists in the destination folder."
    kFolderExistsStart = 1013,
    kFolderExistsEnd = 1014,
    kCancel = 1015,
    kReplace = 1016,
    kOk = 1017,
    kLater = 1018,
    kRun = 1019,
    kAskReplace = 1020,
    kCannotContinue = 1021,
    kAtOwnRisk = 1022,
    // The verbs that kApplicationMissing, kLibraryMissing, kNotEnoughMemory
    // and kNotEnoughSpace take: "requires" or "suggests".
    kRequires = 1023,
    kSuggests = 1024,
    // The same as adjectives, for the log: "required", "suggested".
    kRequired = 1025,
    kSuggested = 1026,
    kStopped = 1027,
    kContinue = 1028,
    kRestartLater = 1029,
    kRestartNow = 1030,
    kApplicationMissing = 1031,
    kCheckingSystem = 1032,
    kCreatingDeinstaller = 1033,
    // "Do you wish to run '" <path> "' now?"
    kRunQuestionStart = 1034,
    kRunQuestionEnd = 1035,
    kInstallingItem = 1036,
    kInstallationComplete = 1037,
    kSuccess = 1038,
    kUnableToRun = 1039,
    kDestinationMissing = 1040,
    kCannotCreateFolder = 1041,
    kNeedsRestart = 1042,
    kLibraryMissing = 1043,
    kNotEnoughMemory = 1044,
    kNotEnoughSpace = 1045,
    kFirstInstallerId = kLanguageMenu,
    kLastStoredId = kNotEnoughSpace,

    // The question about installations of the product that did not finish.
    kRollBackQuestion = 1100,
    kRollBackLeave = 1101,
    kRollBackUndo = 1102,

    // The replace dialog. kReplaceQuestion is a printf format: the kind word
    // (file, folder, link), then the existing item's name.
    kReplaceDialogReplace = 1110,
    kReplaceDialogKeep = 1111,
    kReplaceDialogFile = 1112,
    kReplaceDialogFolder = 1113,
    kReplaceDialogLink = 1114,
    kReplaceDialogCreated = 1115,
    kReplaceDialogModified = 1116,
    kReplaceDialogSize = 1117,
    kReplaceDialogKind = 1118,
    kReplaceDialogPath = 1119,
    kReplaceDialogVersion = 1120,
    kReplaceDialogWith = 1121,
    kReplaceDialogApplyToAll = 1122,
    kReplaceDialogQuestion = 1123,
    // After the modification date of the newer of the two items.
    kReplaceDialogNewer = 1124,

    // Installing without a window: the terminal's questions, the command
    // line and the answer file. The one-argument texts are formats of one
    // "%s".
    kNotStartedNoDesktop = 1130,
    kInstalledIn = 1131,
    kUsage = 1132,
    kOptions = 1133,
    kNoFrontEnd = 1134,
    kBadOption = 1135,
    kAnswersUnusable = 1136,
    kAnswerUnknownKey = 1137,
    kAnswerRepeated = 1138,
    kAnswerNoValue = 1139,
    kAnswerBadValue = 1140,
    kAnswerNotKeyValue = 1141,
    kAnswerTypeAndFiles = 1142,
    kAnswerUnreadable = 1143,
    kAnswerLicense = 1144,
    kAnswerUnknownType = 1145,
    kAnswerUnknownFile = 1146,
    kAnswerNothingChosen = 1147,
    kAnswerDestination = 1148,
    kAnswerNotAbsolute = 1149,
    kAnswerNoSpace = 1150,
    kAlreadyInstalled = 1151,
    kCollisionRefused = 1152,
    kWizardMore = 1153,
    kWizardAcceptLicense = 1154,
    kWizardYes = 1155,
    kWizardNotInstalled = 1156,
    kWizardTypePrompt = 1157,
    kWizardFilesPrompt = 1158,
    kWizardNothingTicked = 1159,
    kWizardDestinationPrompt = 1160,
    kWizardFreeSpace = 1161,
    kWizardConfirm = 1162,
    kWizardChoicePrompt = 1163,
    kWizardStopping = 1164,
    // A damaged installer, found before its first step; the parts are
    // what kInstallerDamaged's "%s" names.
    kInstallerDamaged = 1165,
    kDamagedRecord = 1166,
    kDamagedDeinstaller = 1167,
    kDamagedPayload = 1168,
    kDamagedTexts = 1169,
    kDamagedManifest = 1170,
    kDamagedOther = 1171,
    // The publisher's signature: shown at the licence, said by --verify,
    // and what stops an installer whose signature does not hold.
    kSignedBy = 1172,
    kUnsigned = 1173,
    kBadSignature = 1174,
    kVerifiedSigned = 1175,
    kVerifiedUnsigned = 1176,
    kNotRequiredKey = 1177,
    // The program the installer's resources are appended to, as a damaged
    // part (kInstallerDamaged).
    kDamagedProgram = 1178,
    // The installer window's status and destination lines.
    // kSpaceShortWarning: needed, free (both sizes), the volume's name.
    // kDestinationUnusable: the folder, then why.
    kUndoingUnfinished = 1190,
    kPassNotStarted = 1191,
    kAlsoInstallsInto = 1192,
    kSpaceShortWarning = 1193,
    kDestinationUnusable = 1194,
    // Stopping the pass from the window: the question, its "go on" answer,
    // and what is said of a pass that stopped with something placed (a
    // format of the installation folder).
    kStopQuestion = 1200,
    kGoOn = 1201,
    kStoppedWithLeftovers = 1202,
    // The main button once the pass has completed.
    kDone = 1203,
    // Installing where an earlier installation of the product is: a format
    // of the installation folder; the choice of another folder.
    kReinstallQuestion = 1204,
    kChooseAnotherFolder = 1205,
    // Step 2's instruction when the installation is for every user of the
    // machine (the system scope).
    kDestinationStepForAll = 1206,

    // The folder panel of the destination step. The last four are messages
    // whose "%s" is the name or path they are about.
    kFolderPanelTitle = 1210,
    kFolderPanelChoose = 1211,
    kFolderPanelParent = 1212,
    kFolderPanelVolumes = 1213,
    kFolderPanelShowHidden = 1214,
    kFolderPanelNewFolder = 1215,
    kFolderPanelFolderName = 1216,
    kFolderPanelCreate = 1217,
    kFolderPanelGoTo = 1218,
    kFolderPanelNoFolder = 1219,
    kFolderPanelNameTaken = 1220,
    kFolderPanelBadName = 1221,
    kFolderPanelCannotMake = 1222,
    kLastInstallerId = kFolderPanelCannotMake,

    // The de-installer (Kolvast).
    kDeinstallerIntro = 3000,
    kDeinstallerListHeading = 3001,
    kDeinstallerRemove = 3002,
    kDeinstallerCancel = 3003,
    kDeinstallerClose = 3004,
    kDeinstallerRemoving = 3005,
    kDeinstallerDone = 3006,
    kDeinstallerIncomplete = 3007,
    kDeinstallerToRemove = 3008,
    kDeinstallerToRestore = 3009,
    kDeinstallerRemoved = 3010,
    kDeinstallerRestored = 3011,
    kDeinstallerKept = 3012,
    kDeinstallerLeft = 3013,
    kDeinstallerFailed = 3014,
    kDeinstallerProblem = 3015,
    kDeinstallerNoRecord = 3016,
    kDeinstallerLogAt = 3017,
    kDeinstallerTaken = 3018,
    kDeinstallerKeepCurrent = 3019,
    kDeinstallerPutBackOld = 3020,
    kDeinstallerWhyChanged = 3021,
    kDeinstallerWhyNotOurs = 3022,
    kDeinstallerWhyUserFiles = 3023,
    kDeinstallerWhyTaken = 3024,
    // An earlier installation that the installation moved to the trash stays
    // there unless the user asks for it back.
    kDeinstallerPutBackEarlier = 3025,
    kDeinstallerEarlierInTrash = 3026,
    kFirstDeinstallerId = kDeinstallerIntro,
    kLastDeinstallerId = kDeinstallerEarlierInTrash,
};

} // namespace TextId
