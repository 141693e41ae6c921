#include "platform/i18n/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>
#include <memory>
#include <vector>

namespace platform {

namespace {

constexpr char kLanguageKey[] = "language";

// The translators in force; replaced as a whole when the language changes.
std::vector<std::unique_ptr<QTranslator>>& installed() {
    static std::vector<std::unique_ptr<QTranslator>> translators;
    return translators;
}

QString& installedLanguage() {
    static QString language = "en";
    return language;
}

// The interface's translation files of a language, from the editor's resources.
QStringList interfaceTranslations(const QString& language) {
    const QDir resources(":/i18n");
    QStringList paths;
    for (const QString& name :
         resources.entryList({QString("*_%1.qm").arg(language)}, QDir::Files, QDir::Name))
        paths << resources.filePath(name);
    return paths;
}

} // namespace

QStringList TranslatedLanguages() {
    return {"zh_CN"};
}

QString ChosenLanguage(const QSettings& settings) {
    const QString chosen = settings.value(kLanguageKey).toString();
    if (chosen == "en" || TranslatedLanguages().contains(chosen))
        return chosen;
    return {};
}

void SetChosenLanguage(QSettings& settings, const QString& language) {
    if (language.isEmpty())
        settings.remove(kLanguageKey);
    else
        settings.setValue(kLanguageKey, language);
}

QString EffectiveLanguage(const QString& chosen) {
    if (!chosen.isEmpty())
        return chosen;
    return LanguageForLocales(QLocale::system().uiLanguages());
}

QString LanguageForLocales(const QStringList& uiLanguages) {
    // Traditional Chinese is not Simplified: the script is compared with the language.
    for (const QString& wanted : uiLanguages) {
        const QLocale locale(wanted);
        if (locale.language() == QLocale::English)
            return "en";
        for (const QString& language : TranslatedLanguages()) {
            const QLocale translated(language);
            if (locale.language() == translated.language() &&
                locale.script() == translated.script())
                return language;
        }
    }
    return "en";
}

QString LanguageName(const QString& language) {
    if (language == "zh_CN")
        return QString::fromUtf8("简体中文");
    return "English";
}

bool InstallTranslations(const QString& language) {
    for (const auto& translator : installed())
        QCoreApplication::removeTranslator(translator.get());
    installed().clear();
    installedLanguage() = "en";
    if (!TranslatedLanguages().contains(language))
        return false;

    bool ours = false;
    for (const QString& path : interfaceTranslations(language)) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(path)) {
            QCoreApplication::installTranslator(translator.get());
            installed().push_back(std::move(translator));
            ours = true;
        }
    }
    // Qt's own texts: the standard buttons ("OK", "Cancel") and the file and print dialogs.
    auto qt = std::make_unique<QTranslator>();
    if (qt->load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        installed().push_back(std::move(qt));
    }
    if (ours)
        installedLanguage() = language;
    return ours;
}

QString TranslateIn(const QString& language, const char* context, const char* text) {
    if (TranslatedLanguages().contains(language)) {
        for (const QString& path : interfaceTranslations(language)) {
            QTranslator translator;
            if (!translator.load(path))
                continue;
            if (QString translated = translator.translate(context, text); !translated.isEmpty())
                return translated;
        }
    }
    return QString::fromUtf8(text);
}

QString InstalledLanguage() {
    return installedLanguage();
}

} // namespace platform
