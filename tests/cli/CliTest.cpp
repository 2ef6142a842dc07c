#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "support/FormatBuilders.h"

namespace {

struct CliRun {
    int status;
    std::string out;
};

// Runs lorvane-cli with the arguments (each quoted) and returns its exit
// status and standard output.
CliRun Cli(const std::vector<std::string>& args) {
    const char* cli = std::getenv("LORVANE_CLI");
    std::string command = cli ? cli : "lorvane-cli";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " 2>/dev/null";
    CliRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CliTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) { return dir_.Write(name, bytes); }
    TempDir dir_;
};

const std::string kMasked = std::string("\0\0", 2) + "AB";

}  // namespace

TEST_F(CliTest, ListsAsJsonOrAsUtf8Text) {
    const std::string wtr = Write("a.wtr", WtrBuilder().waypoint({"\xA4\xA4" "AB", -5, 6, 12.5f, 3}).track("T", {{1, 2, 57600, 1.0f}}).build());
    EXPECT_EQ(Cli({"list", "--json", wtr}).out,
              "{\"kind\":\"wtr\",\"loaded\":1,\"waypointCount\":1,\"trackCount\":1,"
              "\"waypoints\":[{\"name\":\"a4a44142\",\"latitude\":-5,\"longitude\":6,\"altitude\":12.5,\"symbol\":3}],"
              "\"tracks\":[{\"name\":\"54\",\"pointCount\":1,\"points\":[{\"latitude\":1,\"longitude\":2,"
              "\"altitude\":1,\"time\":57600,\"hour\":0,\"minute\":0,\"second\":0}]}],"
              "\"lines\":[\"a4a4414220203132\"],\"trackLines\":[\"5420283129\"]}\n");
    EXPECT_EQ(Cli({"list", wtr}).out, "中AB  12\n");
    EXPECT_EQ(Cli({"list", "--json", Write("b.GTM", GtmBuilder().waypoint(kMasked, 7).build())}).out,
              "{\"kind\":\"gtm\",\"loaded\":1,\"waypointCount\":1,\"waypoints\":[{\"name\":\"00004142202020202020\","
              "\"altitude\":7}],\"lines\":[\"2020414220202020202020202037\"]}\n");
}

TEST_F(CliTest, ExitStatuses) {
    const std::string wtr = Write("a.wtr", WtrBuilder().waypoint("A", 1).build());
    const std::string bad = Write("bad.wtr", {1, 2, 3});
    const std::string gtm = Write("b.gtm", GtmBuilder().waypoint("a", 1).build());
    EXPECT_EQ(Cli({"list", wtr}).status, 0);
    EXPECT_EQ(Cli({"list", bad}).status, 1);
    EXPECT_EQ(Cli({"list", Write("c.txt", {1})}).status, 2);
    EXPECT_EQ(Cli({"list"}).status, 2);
    EXPECT_EQ(Cli({"list", "--bogus", wtr}).status, 2);
    EXPECT_EQ(Cli({"frobnicate"}).status, 2);
    EXPECT_EQ(Cli({"repair", wtr}).status, 2);
    EXPECT_EQ(Cli({"repair", Write("c.txt", {1}), gtm}).status, 2);
    EXPECT_EQ(Cli({"repair", bad, gtm}).status, 1);  // nothing to correct from
    EXPECT_EQ(Cli({"repair", "--dry-run", wtr, gtm}).status, 0);
}

TEST_F(CliTest, RepairWritesNamesAndReports) {
    const std::string wtr = Write("a.wtr", WtrBuilder().waypoint("\xA4\xA4" "AB", 10).waypoint("CD", 20).build());
    const auto original = GtmBuilder().waypoint(kMasked, 10).waypoint("cd", 20).waypoint("zz", 30).build();
    const std::string gtm = Write("b.gtm", original);

    CliRun dry = Cli({"repair", "--json", "--dry-run", "--prefix", wtr, gtm});
    EXPECT_EQ(dry.status, 3);  // one waypoint found no name
    EXPECT_EQ(ReadBytes(gtm), original);
    EXPECT_NE(dry.out.find("\"corrected\":true,\"correctedCount\":2"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("\"needsPrefix\":true,\"prefixApplied\":true,\"saved\":null}"), std::string::npos);
    // Taken markers show in the Garmin object.
    EXPECT_NE(dry.out.find("\"symbol\":3572"), std::string::npos);
    EXPECT_NE(dry.out.find("{\"name\":\"63642020202020202020\",\"newName\":\"a1f64344\",\"altitudeMatches\":1,"
                           "\"caselessMatches\":1,\"maskedMatches\":0,\"maskedCaselessMatches\":1}"),
              std::string::npos)
        << dry.out;

    CliRun saved = Cli({"repair", "--prefix=→", wtr, gtm});  // → is A1 F7 in code page 950
    EXPECT_EQ(saved.status, 3);
    const auto repaired = ReadBytes(gtm);
    ASSERT_EQ(repaired.size(), original.size());
    const std::string bytes(repaired.begin(), repaired.end());
    EXPECT_NE(bytes.find("\xA4\xA4" "AB      "), std::string::npos);
    EXPECT_NE(bytes.find("\xA1\xF7" "CD      "), std::string::npos);
    EXPECT_NE(bytes.find("\xA1\xF7" "zz      "), std::string::npos);
}
