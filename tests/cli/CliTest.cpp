// lorvane-cli's exit statuses and outputs: 0 done, 1 a file not loaded or not saved, 2 usage, 3 names uncorrected.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "support/FormatBuilders.h"

TEST(Cli, ExitStatusesAndOutputs) {
    TempDir dir;
    const std::string masked = std::string("\0\0", 2) + "AB";
    // The track is longer than the pieces in which the JSON is written out.
    const std::string wtr = dir.Write("a.wtr", WtrBuilder().waypoint({"\xA4\xA4" "AB", -5, 6, 12.5f, 3}).waypoint("CD", 20)
                                                   .track("T", std::vector<WtrPoint>(1000, {1, 2, 57600, 1.0f})).build());
    const auto original = GtmBuilder().waypoint(masked, 12.5f).waypoint("cd", 20).waypoint("zz", 30).build();
    const std::string gtm = dir.Write("b.gtm", original), bad = dir.Write("bad.wtr", {1, 2, 3});
    const std::string text = dir.Write("c.txt", {1}), one = dir.Write("d.GTM", GtmBuilder().waypoint(masked, 7).build());
    const std::string whole = dir.Write("e.gtm", GtmBuilder().waypoint("cd", 20).build());
    // Two equal names at one altitude, both away from the GTM waypoint: the name taken is uncertain.
    const std::string twins = dir.Write("f.wtr", WtrBuilder().waypoint({"\xA4\xA4" "AB", 999, 0, 12.5f})
                                                     .waypoint({"\xA4\xA4" "AB", 0, 999, 12.5f}).build());
    const std::string point = "{\"latitude\":1,\"longitude\":2,\"altitude\":1,\"time\":57600,\"hour\":0,\"minute\":0,"
                              "\"second\":0}";
    std::string points = point;
    for (int i = 1; i < 1000; ++i) points += "," + point;
    // The whole standard output, or a piece of it that begins with a quote; a piece of output and error together.
    struct Row { std::vector<std::string> args; int status; std::string out, err = ""; };
    const Row rows[] = {
        {{"list", "--json", wtr}, 0,
         "{\"kind\":\"wtr\",\"loaded\":1,\"waypointCount\":2,\"trackCount\":1,\"waypoints\":[{\"name\":\"a4a44142\","
         "\"latitude\":-5,\"longitude\":6,\"altitude\":12.5,\"symbol\":3},{\"name\":\"4344\",\"latitude\":0,"
         "\"longitude\":0,\"altitude\":20,\"symbol\":0}],\"tracks\":[{\"name\":\"54\",\"pointCount\":1000,\"points\":["
             + points + "]}],\"lines\":[\"a4a4414220203132\",\"434420203230\"],\"trackLines\":[\"5420283130303029\"]}\n"},
        {{"list", wtr}, 0, "中AB  12\nCD  20\n"},
        {{"list", "--json", one}, 0,
         "{\"kind\":\"gtm\",\"loaded\":1,\"waypointCount\":1,\"waypoints\":[{\"name\":\"00004142202020202020\","
         "\"altitude\":7}],\"lines\":[\"2020414220202020202020202037\"]}\n"},
        {{"list", bad}, 1, ""},
        {{"list", text}, 2, ""},
        {{"list"}, 2, ""},
        {{"list", "--bogus", wtr}, 2, ""},
        {{"repair", wtr}, 2, ""},
        {{"repair", text, gtm}, 2, ""},
        // Nothing to correct from: no row has a source, none is uncertain.
        {{"repair", "--json", bad, gtm}, 1,
         "\"maskedCaselessMatches\":0,\"source\":-1,\"atPosition\":false,\"uncertain\":false},{\"name\":\"6364"},
        {{"repair", wtr, whole}, 0, ""},
        // One waypoint finds no name.
        {{"repair", "--json", "--dry-run", "--prefix", wtr, gtm}, 3,
         "\"corrected\":true,\"correctedCount\":2,\"lines\":[\"a4a4414220203132\",\"434420203230\"],\"rows\":[{\"name\":"
         "\"00004142202020202020\",\"newName\":\"a4a44142\",\"altitudeMatches\":1,\"caselessMatches\":0,\"maskedMatches\""
         ":1,\"maskedCaselessMatches\":1,\"source\":0,\"atPosition\":true,\"uncertain\":false},{\"name\":"
         "\"63642020202020202020\",\"newName\":\"a1f64344\",\"altitudeMatches\":1,\"caselessMatches\":1,\"maskedMatches\":0,"
         "\"maskedCaselessMatches\":1,\"source\":1,\"atPosition\":true,\"uncertain\":false},{\"name\":\"7a7a2020202020202020\","
         "\"newName\":\"a1f67a7a\",\"altitudeMatches\":0,\"caselessMatches\":0,\"maskedMatches\":0,\"maskedCaselessMatches\":0,"
         "\"source\":-1,\"atPosition\":false,\"uncertain\":false}],"
         "\"needsPrefix\":true,\"prefixApplied\":true,\"saved\":null}\n"},
        {{"repair", "--json", "--dry-run", twins, gtm}, 3, "\"source\":0,\"atPosition\":false,\"uncertain\":true}"},
        {{"repair", "--dry-run", twins, gtm}, 3, "", "corrected 1 of 3 waypoints\nwarning: uncertain names: 1 (no waypoint at "
         "the same position confirms them; they may belong to other waypoints)\n    AB        12 → 中AB\n"},
        {{"repair", "--json", "--dry-run", wtr, gtm}, 3, "\"needsPrefix\":true,\"prefixApplied\":false,\"saved\":null}"},
        {{"repair", "--prefix=→", wtr, gtm}, 3, "中AB  12\nCD  20\n"},  // → is A1 F7 in code page 950
    };
    for (const auto& [args, status, out, err] : rows) {
        std::string command = std::getenv("LORVANE_CLI") ? std::getenv("LORVANE_CLI") : "lorvane-cli";
        for (const std::string& arg : args) command += " '" + arg + "'";
        FILE* pipe = popen((command + (err.empty() ? " 2>/dev/null" : " 2>&1")).c_str(), "r");
        ASSERT_TRUE(pipe);
        std::string got;
        for (int c; (c = std::fgetc(pipe)) != EOF;) got += static_cast<char>(c);
        const int exit = pclose(pipe);
        EXPECT_EQ(WIFEXITED(exit) ? WEXITSTATUS(exit) : -1, status) << command;
        if (!out.empty() && out[0] != '"') EXPECT_EQ(got, out) << command;
        else EXPECT_NE(got.find(out), std::string::npos) << command << "\n" << got;
        EXPECT_NE(got.find(err), std::string::npos) << command << "\n" << got;
        EXPECT_TRUE(args[0] != "repair" || args[1] == "--prefix=→" || ReadBytes(gtm) == original) << command;
    }
    // Only the names change: the new ones, the prefix before the one beginning with a letter and the uncorrected one.
    EXPECT_EQ(ReadBytes(gtm), GtmBuilder().waypoint("\xA4\xA4" "AB", 12.5f).waypoint("\xA1\xF7" "CD", 20)
                                  .waypoint("\xA1\xF7" "zz", 30).build());
}
