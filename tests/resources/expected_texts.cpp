#include "expected_texts.h"

#include "resources/resource.h"

#ifndef BRIMLET_UNIT_PARAMETER
#define BRIMLET_UNIT_PARAMETER 1
#endif
#ifndef BRIMLET_REDUCED_LANGUAGES
#define BRIMLET_REDUCED_LANGUAGES 0
#endif
#ifndef BRIMLET_WINDOWS_DRIVE
#define BRIMLET_WINDOWS_DRIVE 0
#endif

namespace restest {
namespace {

// The usage examples keep each language's own quirks: upper-case drive and
// two blanks before the last 0 in German, no blank after the drive in Dutch.
#if BRIMLET_UNIT_PARAMETER
const char* const kEnglishExample = "Example : brimlet h:\\ 300 75 95 % N N 0 0";
const char* const kGermanExample = "Beispiel : brimlet H:\\ 300 75 95 % N N 0  0";
const char* const kFrenchExample = "Exemple : brimlet h:\\ 300 75 95 % N N 0 0";
const char* const kDutchExample = "Voorbeeld : brimlet h:\\300 75 95 % N N 0 0";
#else
const char* const kEnglishExample = "Example : brimlet h:\\ 300 75 95 N N 0 0";
const char* const kGermanExample = "Beispiel : brimlet H:\\ 300 75 95 N N 0  0";
const char* const kFrenchExample = "Exemple : brimlet h:\\ 300 75 95 N N 0 0";
const char* const kDutchExample = "Voorbeeld : brimlet h:\\300 75 95 N N 0 0";
#endif

// The texts that name the server: Novell's, or any network server's.
#if BRIMLET_WINDOWS_DRIVE
const char* const kEnglishCaption = "Quota information on network drive";
const char* const kGermanCaption = "Speicherplatzbelegung auf Netzlaufwerk";
const char* const kFrenchCaption =
    "Information de quota de votre répertoire personnel sur le serveur réseau";
const char* const kDutchCaption = "Quota informatie op netwerk drive";
const char* const kEnglishServerLabel = "Network server where your directory is :";
const char* const kGermanServerLabel =
    "Netzwerk-Server, auf dem sich Ihr Home-Verzeichnis befindet : ";
const char* const kDutchServerLabel = "Netwerk server waar Uw home directory is :";
#else
const char* const kEnglishCaption = "Quota information on Novell network drive";
const char* const kGermanCaption = "Speicherplatzbelegung auf Novell-Netzlaufwerk";
const char* const kFrenchCaption =
    "Information de quota de votre répertoire personnel sur le serveur Novell";
const char* const kDutchCaption = "Quota informatie op Novell netwerk drive";
const char* const kEnglishServerLabel = "Novell server where your directory is :";
const char* const kGermanServerLabel = "Novell-Server, auf dem sich Ihr Home-Verzeichnis befindet : ";
const char* const kDutchServerLabel = "Novell server waar Uw home directory is :";
#endif
const char* const kFrenchServerLabel = "Votre répertoire personnel\nse trouve sur le serveur :";

#if BRIMLET_REDUCED_LANGUAGES
const char* const kEnglishVersion = "Brimlet 1.51";
const int kEnglishAboutHeight = 154;
#else
const char* const kEnglishVersion = "Brimlet 1.5";
const int kEnglishAboutHeight = 148;
#endif

LanguageTexts English() {
  return {"en-US",
          MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
          {"Brimlet", "Disk space used : ", "on", "You have enough free space.",
           "Free space is low : you should keep an eye on it.",
           "You're running almost out of free space : please take necessary steps.",
           "Unknown free space.", "free"},
          {"Network drive space restriction information", "What uses the space", "About Brimlet",
           "Exit"},
          kEnglishCaption,
          324,  // detailsWidth
          306,  // detailsHeight
          true,  // closeBox
          false,  // topmost
          false,  // printLinkVisible
          false,  // quotaLinkVisible
          "About Brimlet",
          193,  // aboutWidth
          kEnglishAboutHeight,  // aboutHeight
          kEnglishVersion,
          std::string("Usage : see documentation\n") + kEnglishExample,
          kEnglishServerLabel};
}

LanguageTexts German() {
  return {
      "de-DE",
      MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN),
      {"Brimlet", "Belegter Speicherplatz", "auf", "Sie verfügen über ausreichend Speicherplatz.",
       "Geringer Speicherplatz: Sie sollten dies im Auge behalten.",
       "Es steht Ihnen annähernd kein Speicherplatz zur Verfügung: Bitte unternehmen Sie "
       "entsprechende Schritte.",
       "Der freie Speicherplatz konnte nicht ermittelt werden.", "frei"},
      {"Information zur Netzwerk-Speicherplatz-Beschränkung", "Was belegt den Speicherplatz?",
       "Über Brimlet", "Beenden"},
      kGermanCaption,
      324,  // detailsWidth
      314,  // detailsHeight
      true,  // closeBox
      false,  // topmost
      false,  // printLinkVisible
      false,  // quotaLinkVisible
      "About Brimlet",
      200,  // aboutWidth
      142,  // aboutHeight
      "Brimlet 1.5",
      std::string("Anwendung : siehe Dokumentation\n") + kGermanExample,
      kGermanServerLabel};
}

LanguageTexts French() {
  return {"fr-FR",
          MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH),
          {"Brimlet", "Quota de disque utilisé", "sur", "Espace libre suffisant",
           "Espace libre réduit : vous devriez garder un oeil dessus.",
           "Espace libre insuffisant : Prenez les mesures nécessaires !",
           "Impossible de déterminer votre espace libre.", "de libre"},
          {"Information de quota de disque", "Qu'est-ce qui occupe l'espace ?",
           "A propos de Brimlet", "Quitter"},
          kFrenchCaption,
          330,  // detailsWidth
          301,  // detailsHeight
          false,  // closeBox
          true,  // topmost
          true,  // printLinkVisible
          true,  // quotaLinkVisible
          "A propos de Brimlet",
          191,  // aboutWidth
          135,  // aboutHeight
          "Brimlet 1.5",
          std::string("Utilisation : Voir la documentation\n") + kFrenchExample,
          kFrenchServerLabel};
}

LanguageTexts Dutch() {
  return {"nl-NL",
          MAKELANGID(LANG_DUTCH, SUBLANG_DUTCH),
          {"Brimlet", "Disk ruimte gebruikt : ", "op", "U heeft genoeg vrije disk ruimte.",
           "Vrije ruimte is laag : houd het in de gaten.",
           " hebt bijna geen vrije ruimte meer : Neem de benodigde maatregelen a.u.b. .",
           "Onbekende vrije ruimte.", "vrij"},
          {"Netwerk disk ruimte restrictie informatie", "Wat neemt de ruimte in?", "Over Brimlet",
           "Afsluiten"},
          kDutchCaption,
          318,  // detailsWidth
          306,  // detailsHeight
          false,  // closeBox
          true,  // topmost
          false,  // printLinkVisible
          false,  // quotaLinkVisible
          "Over Brimlet",
          191,  // aboutWidth
          135,  // aboutHeight
          "Brimlet 1.5",
          std::string("Gebruik : zie documentatie\n") + kDutchExample,
          kDutchServerLabel};
}

#if BRIMLET_REDUCED_LANGUAGES
LanguageTexts Czech() {
  LanguageTexts czech{};
  czech.tag = "cs-CZ";
  czech.language = MAKELANGID(LANG_CZECH, SUBLANG_CZECH_CZECH_REPUBLIC);
  czech.menu = {"Informace o kvotach omezeni diskoveho prostoru", "Co zabira misto", "O Brimlet",
                "Ukoncit"};
  return czech;
}
#endif

}  // namespace

void PrintTo(const LanguageTexts& texts, std::ostream* out) { *out << texts.tag; }

bool WindowsDriveBuild() { return BRIMLET_WINDOWS_DRIVE != 0; }

const std::vector<UINT>& StringIds() {
  static const std::vector<UINT> ids = {IDS_PROGRAM_TITLE,  IDS_DISK_SPACE_USED, IDS_ON,
                                        IDS_STATUS_OK,      IDS_STATUS_WARNING,  IDS_STATUS_DANGER,
                                        IDS_STATUS_UNKNOWN, IDS_FREE};
  return ids;
}

const std::vector<UINT>& MenuCommands() {
  static const std::vector<UINT> commands = {ID_QUOTA_DETAILS, ID_LARGEST_ITEMS, ID_APP_ABOUT,
                                             ID_APP_EXIT};
  return commands;
}

std::vector<std::string> SnoozeMenu(const LanguageTexts& texts) {
  const std::string tag = texts.tag;
  if (tag == "de-DE") {
    return {"Später erinnern", "In einer Stunde", "In vier Stunden", "Morgen früh",
            "Erinnerungen pausiert bis %s", "Erinnerungen fortsetzen"};
  }
  if (tag == "fr-FR") {
    return {"Me le rappeler plus tard", "Dans une heure", "Dans quatre heures", "Demain matin",
            "Rappels suspendus jusqu'à %s", "Reprendre les rappels"};
  }
  if (tag == "nl-NL") {
    return {"Later herinneren", "Over een uur", "Over vier uur", "Morgenochtend",
            "Herinneringen gepauzeerd tot %s", "Herinneringen hervatten"};
  }
  if (tag == "cs-CZ") {
    return {"Pripomenout pozdeji", "Za hodinu", "Za ctyri hodiny", "Zitra rano",
            "Pripominky pozastaveny do %s", "Obnovit pripominky"};
  }
  return {"Remind me later", "In one hour", "In four hours", "Tomorrow morning",
          "Reminders paused until %s", "Resume reminders"};
}

const std::vector<LanguageTexts>& MenuLanguages() {
#if BRIMLET_REDUCED_LANGUAGES
  static const std::vector<LanguageTexts> languages = {English(), German(), French(), Dutch(),
                                                       Czech()};
#else
  static const std::vector<LanguageTexts> languages = {English(), German(), French(), Dutch()};
#endif
  return languages;
}

const std::vector<LanguageTexts>& DialogLanguages() {
#if BRIMLET_REDUCED_LANGUAGES
  static const std::vector<LanguageTexts> languages = {English()};
#else
  static const std::vector<LanguageTexts> languages = {English(), German(), French(), Dutch()};
#endif
  return languages;
}

const LanguageTexts* Texts(const std::string& tag) {
  for (const LanguageTexts& texts : MenuLanguages()) {
    if (tag == texts.tag) return &texts;
  }
  return nullptr;
}

}  // namespace restest
