#pragma once
// The language people read: English, the texts as written in the code, or Polish, the
// translation built into the program. Machine-read output never passes through here.

#include <QString>

#include <memory>
#include <set>
#include <string>

class QTranslator;

inline const QString EnglishLanguage = QStringLiteral("en");
inline const QString PolishLanguage = QStringLiteral("pl");

// "en" or "pl" for a word the user gave (--lang, the remembered choice); empty for anything
// else, so a caller can name the bad word.
QString LanguageCode(const QString& word);

// What the environment asks for, as gettext reads it: LC_ALL, LC_MESSAGES or LANG name the
// locale; outside the C locale LANGUAGE's list comes first. Anything but Polish is English.
QString SystemLanguage();

// The choice in force: the command line's, else the remembered one ("system" or empty: the
// environment's).
QString ChooseLanguage(const QString& option, const QString& remembered);

// Installs the program's translation and Qt's own for the language (for English only the plural
// forms of its texts) and makes
// it the one people's numbers follow. Texts of the contexts in keepEnglish stay as written (the
// command line's lines that scripts read). False when the translation could not be loaded; the
// program then shows its English texts.
bool InstallLanguage(const QString& language, const std::set<std::string>& keepEnglish = {});
// The language installed, "en" before any.
QString CurrentLanguage();

// Where installed translations live beside a program directory (the share folder's
// translations, or a translations folder beside a program run from its build), tried before the
// built-in copy so a translator can try a fresh .qm without rebuilding.
void SetTranslationsDir(const std::string& directory);
std::string TranslationsDirOf(const std::string& programDir);

// The guide's first page in the language: guide/pl/index.html beside guide/index.html when it
// is there, else the English one.
std::string GuideFileIn(const std::string& guideFile, const QString& language);

// An engine's fixed message (marked QT_TRANSLATE_NOOP("Messages", ...) where it is written) in
// the installed language; any other text comes back as it is.
QString PeopleText(const std::string& english);

// A number for people: the chosen language's decimal mark, no group separators (Qt 6.4 groups
// Polish thousands wrongly, "1234 567,50").
QString PeopleNumber(double value, int decimals);
