// The interface's language: the choice kept in the settings, the language a choice and the
// system's locale give, and the translations put in force (the interface's own, built into the
// editor's resources, and Qt's).
#include "platform/i18n/Language.h"

#include "platform/serial/QtSerialPort.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Settings of a file of their own, so that no test meets another's choice.
class LanguageSettingsTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QSettings settings{folder.filePath("settings.ini"), QSettings::IniFormat};
};

// Every test leaves English in force, as the other tests expect.
class InstalledLanguageTest : public ::testing::Test {
protected:
    void TearDown() override { platform::InstallTranslations("en"); }
};

} // namespace

TEST_F(LanguageSettingsTest, ChoiceIsKeptAndAnythingUnknownReadsAsTheSystemLanguage) {
    EXPECT_EQ(platform::ChosenLanguage(settings), "") << "nothing stored: the system's language";
    struct Case {
        const char* stored;
        const char* chosen;
    };
    const Case cases[] = {
        {"en", "en"},    {"zh_CN", "zh_CN"}, {"", ""}, {"zh_TW", ""}, // no translation of its own
        {"zh", ""},      // not the name the menu stores
        {"klingon", ""}, // written by hand into the file
        {"ZH_cn", ""},
    };
    for (const Case& c : cases) {
        settings.setValue("language", c.stored);
        EXPECT_EQ(platform::ChosenLanguage(settings), c.chosen) << c.stored;
    }
    // What the menu stores is read back; the system's language leaves no key behind.
    for (const char* language : {"zh_CN", "en"}) {
        platform::SetChosenLanguage(settings, language);
        EXPECT_EQ(platform::ChosenLanguage(settings), language);
    }
    platform::SetChosenLanguage(settings, "");
    EXPECT_FALSE(settings.contains("language"));
    EXPECT_EQ(platform::ChosenLanguage(settings), "");
}

TEST(LanguageTest, AChoiceIsTheLanguageAndTheSystemGivesItsFirstLanguageWeSpeak) {
    EXPECT_EQ(platform::EffectiveLanguage("en"), "en");
    EXPECT_EQ(platform::EffectiveLanguage("zh_CN"), "zh_CN");
    const QString system = platform::EffectiveLanguage("");
    EXPECT_TRUE(system == "en" || system == "zh_CN") << system.toStdString();

    struct Case {
        QStringList uiLanguages;
        const char* language;
    };
    const Case cases[] = {
        {{"zh-Hans-CN", "en-US"}, "zh_CN"},
        {{"zh-CN"}, "zh_CN"},
        {{"zh"}, "zh_CN"}, // Chinese alone is written in Simplified characters
        {{"zh-SG"}, "zh_CN"},
        {{"en-GB", "zh-CN"}, "en"}, // the order of preference holds
        {{"de-DE", "zh-CN"}, "zh_CN"},
        {{"zh-Hant-TW", "zh-CN"}, "zh_CN"},
        {{"zh-TW"}, "en"}, // Traditional characters are not Simplified ones
        {{"zh-HK", "fr-FR"}, "en"},
        {{"de-DE"}, "en"},
        {{"C"}, "en"},
        {{}, "en"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(platform::LanguageForLocales(c.uiLanguages), c.language)
            << c.uiLanguages.join(",").toStdString();
}

TEST(LanguageTest, EachLanguageIsNamedInItsOwnTongue) {
    EXPECT_EQ(platform::LanguageName("en"), "English");
    EXPECT_EQ(platform::LanguageName("zh_CN"), QString::fromUtf8("简体中文"));
    EXPECT_TRUE(platform::TranslatedLanguages().contains("zh_CN"));
}

TEST_F(InstalledLanguageTest, ChineseIsPutInForceAndEnglishTakesItAway) {
    const QString file = QCoreApplication::translate("TForm1", "&File");
    ASSERT_EQ(file, "&File") << "English in force before the test";

    ASSERT_TRUE(platform::InstallTranslations("zh_CN"));
    EXPECT_EQ(platform::InstalledLanguage(), "zh_CN");
    EXPECT_EQ(QCoreApplication::translate("TForm1", "&File"), QString::fromUtf8("文件(&F)"));
    // Qt's own words (the standard buttons) come with it.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
    // Installing it again replaces it rather than stacking a second copy.
    ASSERT_TRUE(platform::InstallTranslations("zh_CN"));
    EXPECT_EQ(QCoreApplication::translate("TForm1", "&File"), QString::fromUtf8("文件(&F)"));

    EXPECT_FALSE(platform::InstallTranslations("en")) << "English needs no translation";
    EXPECT_EQ(platform::InstalledLanguage(), "en");
    EXPECT_EQ(QCoreApplication::translate("TForm1", "&File"), "&File");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}

TEST_F(InstalledLanguageTest, AnUnknownLanguageLeavesEnglishInForce) {
    ASSERT_TRUE(platform::InstallTranslations("zh_CN"));
    for (const char* language : {"", "xx", "zh_TW", "../zh_CN"}) {
        EXPECT_FALSE(platform::InstallTranslations(language)) << language;
        EXPECT_EQ(platform::InstalledLanguage(), "en") << language;
        EXPECT_EQ(QCoreApplication::translate("TForm1", "&File"), "&File") << language;
    }
}

TEST_F(InstalledLanguageTest, ATextIsFoundInALanguageThatIsNotInForce) {
    // The note about the next start is written in the language chosen as well.
    EXPECT_EQ(platform::TranslateIn("zh_CN", "TForm1", "&File"), QString::fromUtf8("文件(&F)"));
    EXPECT_EQ(platform::TranslateIn("en", "TForm1", "&File"), "&File");
    EXPECT_EQ(platform::TranslateIn("xx", "TForm1", "&File"), "&File");
    EXPECT_EQ(platform::TranslateIn("zh_CN", "TForm1", "No such text"), "No such text");
    EXPECT_EQ(platform::TranslateIn("zh_CN", "NoSuchContext", "&File"), "&File");
    // And the other way round: English is found while Chinese is in force.
    ASSERT_TRUE(platform::InstallTranslations("zh_CN"));
    EXPECT_EQ(platform::TranslateIn("en", "TForm1", "&File"), "&File");
}

TEST_F(InstalledLanguageTest, ThePortSaysWhatIsWrongInTheLanguageInForceAndTheToolsEnglish) {
    // The tool installs no translation: its words stay as they always were.
    std::string error;
    EXPECT_EQ(platform::TQtSerialPort::deviceForNumber(9, &error), "");
    EXPECT_EQ(error, "There is no serial port number 9: choose 1 to 8.");
    ASSERT_TRUE(platform::InstallTranslations("zh_CN"));
    EXPECT_EQ(platform::TQtSerialPort::deviceForNumber(0, &error), "");
    EXPECT_EQ(error, "没有编号为 0 的串口：请选择 1 到 8。");
}
