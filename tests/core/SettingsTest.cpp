#include "TestSupport.h"

#include "core/Settings.h"

#include <QSettings>

using namespace TestSupport;

using SettingsTest = FreshHome;

TEST_F(SettingsTest, DefaultsAreReadButNeverWritten)
{
    EXPECT_EQ(Settings::string("key.tools"), "command");
    EXPECT_EQ(Settings::string("hotkey"), "ctrlOptSpace");
    EXPECT_FALSE(Settings::boolean("revealAfter"));
    EXPECT_FALSE(Settings::boolean("didShowWelcome"));
    EXPECT_TRUE(Settings::stringList("recentOutputs").isEmpty());
    EXPECT_FALSE(Settings::contains("key.tools"));

    Settings::setValue("revealAfter", true);
    EXPECT_TRUE(Settings::boolean("revealAfter"));
    const std::string file = readFile(Settings::fileName().toStdString());
    EXPECT_NE(file.find("revealAfter=true"), std::string::npos);
    EXPECT_EQ(file.find("key.tools"), std::string::npos);
    Settings::remove("revealAfter");
    EXPECT_FALSE(Settings::boolean("revealAfter"));
    EXPECT_EQ(Settings::fileName().toStdString(), (home() / ".config/Varnolt/Varnolt.conf").string());
}

TEST_F(SettingsTest, TriggerKeysAndOutputLocationFallBack)
{
    EXPECT_EQ(Settings::key(WheelMode::convert), TriggerKey::shift);
    EXPECT_EQ(Settings::key(WheelMode::actions), TriggerKey::control);
    Settings::setValue("key.convert", "alt");
    EXPECT_EQ(Settings::key(WheelMode::convert), TriggerKey::shift);
    Settings::setValue("key.convert", "option");
    EXPECT_EQ(Settings::key(WheelMode::convert), TriggerKey::option);
    Settings::remove("key.tools");
    Settings::reset();  // no registered defaults: the mode's own key still answers
    EXPECT_EQ(Settings::key(WheelMode::tools), TriggerKey::command);

    EXPECT_EQ(Settings::outputLocation(), OutputLocation::sameFolder);
    // Case matters: only the raw value chooses the desktop (Output's tests follow each choice to its folder).
    Settings::setValue("outputLocation", "Desktop");
    EXPECT_EQ(Settings::outputLocation(), OutputLocation::sameFolder);
}

TEST_F(SettingsTest, ChoicesParseTheirRawValuesOnly)
{
    for (TriggerKey key : TriggerKeys::allCases()) EXPECT_EQ(TriggerKeys::fromRawValue(TriggerKeys::rawValue(key)), key);
    for (OutputLocation place : OutputLocations::allCases()) EXPECT_EQ(OutputLocations::fromRawValue(OutputLocations::rawValue(place)), place);
    for (HotkeyChoice choice : HotkeyChoices::allCases()) EXPECT_EQ(HotkeyChoices::fromRawValue(HotkeyChoices::rawValue(choice)), choice);

    EXPECT_EQ(Settings::hotkey(), HotkeyChoice::ctrlOptSpace);
    Settings::setValue("hotkey", "CtrlOptSpace");
    EXPECT_EQ(Settings::hotkey(), std::nullopt);
    Settings::setValue("hotkey", "off");
    EXPECT_EQ(Settings::hotkey(), HotkeyChoice::off);
}

TEST_F(SettingsTest, StringListsSurviveAwkwardPaths)
{
    const QStringList paths = {"/a/with, comma.png", "/b/with \"quotes\" and = sign", "/c/ünïcode.txt"};
    Settings::setValue("recentOutputs", paths);
    Settings::reset();
    EXPECT_EQ(Settings::stringList("recentOutputs"), paths);
    Settings::setValue("lastOutputs", QStringList{"/only/one"});
    Settings::reset();
    EXPECT_EQ(Settings::stringList("lastOutputs"), QStringList{"/only/one"});
}

TEST_F(SettingsTest, MigrationCopiesOnceWithoutOverwriting)
{
    {
        QSettings old(QString::fromStdString((home() / ".config/Quindle/Quindle.conf").string()), QSettings::IniFormat);
        old.setValue("outputLocation", "desktop");
        old.setValue("presets", QByteArray("[{\"name\":\"old\"}]"));
        old.setValue("key.tools", "option");
    }
    Settings::setValue("presets", QByteArray("[{\"name\":\"mine\"}]"));
    Settings::reset();  // migration runs before the defaults are registered
    LegacySettings::migrate();
    EXPECT_EQ(Settings::string("outputLocation"), "desktop");
    EXPECT_EQ(Settings::value("presets").toByteArray(), QByteArray("[{\"name\":\"mine\"}]"));
    EXPECT_EQ(Settings::string("key.tools"), "option");
    EXPECT_TRUE(Settings::boolean("migratedFromQuindle"));

    Settings::remove("outputLocation");
    LegacySettings::migrate();
    EXPECT_FALSE(Settings::contains("outputLocation"));
}

TEST_F(SettingsTest, MigrationWithoutPredecessorStillSetsTheFlag)
{
    Settings::reset();
    LegacySettings::migrate();
    EXPECT_TRUE(Settings::boolean("migratedFromQuindle"));
}
