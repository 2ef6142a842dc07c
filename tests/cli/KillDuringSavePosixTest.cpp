// A repair killed at any moment leaves the GTM file either as it was or fully
// repaired, never anything between: lorvane-cli repairs a file of a few
// megabytes and is killed with SIGKILL at random moments, most of them while
// its temporary file exists (the save is under way), the others anywhere in
// its run.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/FormatBuilders.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kWaypoints = 1000;
constexpr size_t kCommentLength = 3000;  // with the records, about 3 MB
constexpr int kTrials = 120;

// The name of waypoint i in the Garmin file (a Chinese character, then
// digits), and in the damaged GTM file (two zero bytes, then the digits).
std::string DigitsOf(int i) { return std::to_string(1000000 + i).substr(1); }

std::vector<uint8_t> GarminFile() {
    WtrBuilder builder;
    for (int i = 0; i < kWaypoints; ++i) builder.waypoint("\xA4\xA4" + DigitsOf(i), static_cast<float>(i));
    return builder.build();
}

std::vector<uint8_t> DamagedGtmFile() {
    GtmBuilder builder;
    for (int i = 0; i < kWaypoints; ++i) {
        builder.waypoint(std::string("\0\0", 2) + DigitsOf(i), static_cast<float>(i),
                         std::string(kCommentLength, static_cast<char>('a' + i % 26)));
    }
    return builder.build();
}

// A running lorvane-cli repair with its output thrown away.
pid_t StartRepair(const std::string& cli, const std::string& garmin, const std::string& gtm) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args = {cli, "repair", garmin, gtm};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits until a file is created in the watched folder or the process ends.
// True when a file was created while the process ran.
bool WaitForCreation(int watch, pid_t pid) {
    for (;;) {
        pollfd ready{watch, POLLIN, 0};
        if (::poll(&ready, 1, 1) > 0) {
            char events[4096];
            if (::read(watch, events, sizeof events) > 0) return true;
        }
        // Ended? Asked without reaping it, so that the caller still can.
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid)
            return false;
    }
}

std::vector<std::string> Leftovers(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name != "repair.gtm" && name != "garmin.wtr") names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(KillDuringSave, TheFileIsAlwaysTheOldOneOrTheRepairedOne) {
    const char* cliEnv = std::getenv("LORVANE_CLI");
    if (!cliEnv || ::access(cliEnv, X_OK) != 0) GTEST_SKIP() << "LORVANE_CLI does not name lorvane-cli";
    const std::string cli = cliEnv;

    TempDir dir;
    const std::string garmin = dir.Write("garmin.wtr", GarminFile());
    const std::vector<uint8_t> original = DamagedGtmFile();
    ASSERT_GT(original.size(), 2'000'000u);

    // One run to the end gives the repaired file and the lengths of a whole
    // run and of its save, from which the kill moments are drawn.
    std::string gtm = dir.Write("repair.gtm", original);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_CREATE), 0);
    const auto started = Clock::now();
    pid_t pid = StartRepair(cli, garmin, gtm);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitForCreation(watch, pid));
    const auto saving = Clock::now();
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the repair itself must succeed";
    const auto run = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
    const auto save = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - saving);
    const std::vector<uint8_t> repaired = ReadBytes(gtm);
    ASSERT_EQ(repaired.size(), original.size());
    ASSERT_NE(repaired, original);
    ASSERT_TRUE(Leftovers(dir.path()).empty());

    std::mt19937 random(std::random_device{}());
    int old = 0, whole = 0, killedWhileSaving = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        gtm = dir.Write("repair.gtm", original);
        char events[4096];
        while (::read(watch, events, sizeof events) > 0) {
        }
        pid = StartRepair(cli, garmin, gtm);
        ASSERT_GT(pid, 0);
        // Three of four kills fall into the save, the fourth anywhere.
        const bool duringSave = trial % 4 != 0;
        if (duringSave && WaitForCreation(watch, pid)) {
            std::this_thread::sleep_for(std::chrono::microseconds(
                std::uniform_int_distribution<long>(0, save.count() + save.count() / 5)(random)));
        } else if (!duringSave) {
            std::this_thread::sleep_for(std::chrono::microseconds(
                std::uniform_int_distribution<long>(0, run.count() + run.count() / 5)(random)));
        }
        ::kill(pid, SIGKILL);
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);

        const std::vector<uint8_t> now = ReadBytes(gtm);
        const bool isOld = now == original;
        const bool isRepaired = now == repaired;
        ASSERT_TRUE(isOld || isRepaired) << "trial " << trial << ": the file is neither the old nor the repaired one";
        old += isOld;
        whole += isRepaired;

        // A kill during the save may leave the temporary file; never more.
        const std::vector<std::string> left = Leftovers(dir.path());
        ASSERT_LE(left.size(), 1u);
        for (const std::string& name : left) {
            ASSERT_EQ(name.rfind(".repair.gtm.lorvane-", 0), 0u) << name;
            fs::remove(dir.path() / name);
            ++killedWhileSaving;
        }
    }
    ::close(watch);
    std::cout << kTrials << " kills: " << old << " left the old file, " << whole << " the repaired one, "
              << killedWhileSaving << " stopped the save with its temporary file written in part\n";
}
