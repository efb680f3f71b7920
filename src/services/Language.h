#pragma once

#include <QString>

// Every text exists in French under a number below 2000 and in English under that number plus
// 1000. The language is chosen once per run from the user's regional codes; code always names a
// text by its French number.

// The user's language code (three letters, "FRA", "ENU", ...; default "ENG") and country name
// (default empty), from the POSIX locale: LC_ALL, else LC_MESSAGES, else LANG.
QString GetUserLocaleCodes(QString& country);

// The language rule: French for the French language codes or for the country France.
bool IsFrenchLanguage(const QString& languageCode, const QString& country);

// Fixes the language of the run from the regional codes. Until it is called the program speaks
// English, as it does with no regional codes at all.
void ChooseLanguage(const QString& languageCode, const QString& country);
bool IsFrenchChosen();

// Gives Qt's own texts (standard buttons, the save dialog, its overwrite prompt) the chosen
// language, in place of any given before; English needs nothing. False when Qt's texts in the
// chosen language cannot be loaded (then they stay English) or there is no application.
bool InstallToolkitTranslation();

// The number of a French resource in the chosen language.
int MapResourceId(int frenchId);

// Makes the C library's character type UTF-8 when the locale has none (C, POSIX): the drivers
// turn names to and from multibyte text by it, and under plain ASCII a name beyond ASCII no
// longer matches its own catalogue rows. Texts and language are not affected.
void UseUtf8CharacterType();

// Fills target with the text of frenchId in the chosen language; a text missing in English
// falls back to the French one.
void LoadLocalizedString(QString& target, int frenchId);
QString LoadLocalizedString(int frenchId);
