#pragma once

#include <QString>
#include <QStringList>

class QSettings;

namespace platform {

// The languages the interface is shipped in besides English, as locale names ("zh_CN").
QStringList TranslatedLanguages();

// The language the user chose in View > Language, kept in the settings: "" follows the
// system's locale, "en" is English, otherwise one of TranslatedLanguages().
QString ChosenLanguage(const QSettings& settings);
void SetChosenLanguage(QSettings& settings, const QString& language);

// The language the interface shows for a choice: the choice itself, or for "" the first
// translated language the system's locale asks for, else "en".
QString EffectiveLanguage(const QString& chosen);
// The language the interface shows for a system that prefers `uiLanguages` in order
// ("zh-Hans-CN", "en-US", as QLocale::uiLanguages gives them): the first that is English or
// has a translation (language and script alike), else "en".
QString LanguageForLocales(const QStringList& uiLanguages);

// The language's own name for itself ("English", "简体中文"), for the menu.
QString LanguageName(const QString& language);

// Puts the translations of the language in force for the whole program: the interface's own
// (":/i18n/*_<language>.qm") and Qt's (standard buttons and dialogs). Returns false when the
// language has no translation of the interface (English needs none). Calling it again
// replaces the previous language's translations.
bool InstallTranslations(const QString& language);

// A text of the interface in a language, whatever language is in force: its translation in
// `context` in that language's files, or the text itself (English, or no translation).
QString TranslateIn(const QString& language, const char* context, const char* text);

// The language whose translations are in force ("en" before any or after English).
QString InstalledLanguage();

} // namespace platform
