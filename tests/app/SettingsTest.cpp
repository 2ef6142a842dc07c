#include <QFile>

#include "DialogTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace control;

QString FileText(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

TEST_F(DialogTest, SettingsLiveInNestedFoldersOfTheUsersSettings) {
    SettingsProfileStore store(QString::fromLatin1(MainApp::kRegistryKey), QString::fromLatin1(MainApp::kProfileName));
    const fs::path expected = settingsHome.path() / "Tobrin" / "Ellaste" / "Lorvane.conf";
    EXPECT_EQ(store.Location().toStdString(), expected.string());

    store.WriteProfileString("Dialog", "GTMFile", "/gps/a.gtm");
    // Written at once, not when the program ends.
    ASSERT_TRUE(fs::exists(expected));
    const QString text = FileText(expected);
    EXPECT_TRUE(text.contains("[Dialog]\nGTMFile=/gps/a.gtm")) << text.toStdString();
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(settingsHome.path()))
        EXPECT_EQ(entry.path().filename().string().find('\\'), std::string::npos) << entry.path();
}

TEST_F(DialogTest, AnAbsentValueReadsAsTheDefault) {
    SettingsProfileStore store(QString::fromLatin1(MainApp::kRegistryKey), QString::fromLatin1(MainApp::kProfileName));
    EXPECT_EQ(store.GetProfileString("Dialog", "Prefix", "default"), "default");
    store.WriteProfileString("Dialog", "Prefix", "");
    EXPECT_EQ(store.GetProfileString("Dialog", "Prefix", "default"), "");
}

TEST_F(DialogTest, OnlyTheUsersOwnFileCounts) {
    // A file one level up, as an organisation-wide default, is not read.
    fs::create_directories(settingsHome.path() / "Tobrin");
    QFile org(QString::fromStdString((settingsHome.path() / "Tobrin" / "Ellaste.conf").string()));
    ASSERT_TRUE(org.open(QIODevice::WriteOnly));
    org.write("[Dialog]\nPrefix=XX\n");
    org.close();
    Start();
    EXPECT_EQ(Text(kPrefix), QString::fromUtf8("←"));
}

TEST_F(DialogTest, TheNextStartFindsTheThreeSettings) {
    const fs::path folder = files.path() / "航點";  // a folder with a Chinese name
    fs::create_directory(folder);
    const std::string garmin = files.Write("航點/g.wtr", WtrBuilder().waypoint(Big5("A玉池"), 10.0f).build());
    const std::string gtm = files.Write("航點/t.gtm", GtmBuilder().waypoint(Zeroed("A玉池"), 10.0f).build());

    Start();
    Type(kGarminPath, Q(garmin));
    Click(kListGarmin);
    Type(kGtmPath, Q(gtm));
    Click(kListGtm);
    Click(kCorrect);
    Type(kPrefix, QString::fromUtf8("中"));
    prompts.answers = {true};
    Click(kSave);
    ASSERT_EQ(prompts.asked.size(), 1u);
    dialog->close();

    Start();
    EXPECT_EQ(Text(kGarminPath), Q(garmin));
    EXPECT_EQ(Text(kGtmPath), Q(gtm));
    EXPECT_EQ(Text(kPrefix), QString::fromUtf8("中"));
    EXPECT_EQ(Lines(kGarminList), QStringList{NameLine("A玉池", 10)});
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine(Big5("中A玉池"), 10)});
}

TEST_F(DialogTest, AStoredPrefixOfAnotherLengthIsShownAndReplacedOnlyBySaving) {
    const std::string garmin = files.Write("g.wtr", WtrBuilder().waypoint("AB", 10.0f).build());
    const std::string gtm = files.Write("t.gtm", GtmBuilder().waypoint("ab", 10.0f).build());
    Remember("Prefix", "XYZ");
    Remember("WTRFile", Q(garmin));
    Remember("GTMFile", Q(gtm));
    Start();
    EXPECT_EQ(Text(kPrefix), "XYZ");
    Click(kCorrect);
    prompts.answers = {true};
    Click(kSave);
    EXPECT_EQ(Text(kPrefix), "XYZ");
    EXPECT_EQ(store->GetProfileString("Dialog", "Prefix", ""), QString::fromUtf8("←"));
    EXPECT_EQ(Lines(kGtmList), QStringList{GtmLine(Big5("←AB"), 10)});
}

}  // namespace
