#include <filesystem>

#include "DialogTestSupport.h"
#include "samples/DemoPair.h"

namespace {

namespace fs = std::filesystem;
using namespace control;

const fs::path kDemoFolder = LORVANE_DEMO_DIR;

TEST(DemoPair, TheCommittedFilesAreWhatTheGeneratorMakes) {
    EXPECT_EQ(ReadBytes((kDemoFolder / "demo.wtr").string()), MakeDemoWtr());
    EXPECT_EQ(ReadBytes((kDemoFolder / "demo.gtm").string()), MakeDemoGtm());
}

TEST_F(DialogTest, TheDemoPairIsRepairedThroughTheDialog) {
    const std::string garmin = files.Write("demo.wtr", MakeDemoWtr());
    const std::string gtm = files.Write("demo.gtm", MakeDemoGtm());
    Start();
    Type(kGarminPath, Q(garmin));
    Click(kListGarmin);
    Type(kGtmPath, Q(gtm));
    Click(kListGtm);
    const QStringList garminLines = Lines(kGarminList);
    ASSERT_EQ(Text(kGarminCount), "12");
    ASSERT_EQ(Text(kGtmCount), "12");

    Click(kCorrect);
    EXPECT_EQ(Text(kCorrectedCount), "12");
    EXPECT_TRUE(prompts.informed.empty());  // every name found
    EXPECT_EQ(Lines(kCorrectedList), garminLines);

    prompts.answers = {true};
    Click(kSave);
    EXPECT_EQ(prompts.asked.size(), 1u);
    const QStringList repaired = Lines(kGtmList);
    ASSERT_EQ(repaired.size(), 12);
    for (const QString& line : repaired) {
        EXPECT_FALSE(line.front().unicode() < 0x80) << line.toStdString();  // every name begins in Chinese
        EXPECT_FALSE(line.contains(QChar(0xFFFD))) << line.toStdString();
    }
    EXPECT_TRUE(repaired.contains(GtmLine(Big5("←TWN車站"), 95)));
    EXPECT_TRUE(repaired.contains(GtmLine(Big5("嘉明湖"), 3310)));
}

}  // namespace
