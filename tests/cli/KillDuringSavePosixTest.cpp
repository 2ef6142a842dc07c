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
#include <thread>

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
using std::chrono::microseconds;

// A running lorvane-cli repair with its output thrown away.
pid_t StartRepair(std::vector<std::string> args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits until a file is created in the watched folder (true) or the process
// ends (false; asked without reaping it, so that the caller still can).
bool WaitForCreation(int watch, pid_t pid) {
    for (;;) {
        pollfd ready{watch, POLLIN, 0};
        char events[4096];
        if (::poll(&ready, 1, 1) > 0 && ::read(watch, events, sizeof events) > 0) return true;
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid) return false;
    }
}

}  // namespace

TEST(KillDuringSave, TheFileIsAlwaysTheOldOneOrTheRepairedOne) {
    const char* cli = std::getenv("LORVANE_CLI");
    if (!cli || ::access(cli, X_OK) != 0) GTEST_SKIP() << "LORVANE_CLI does not name lorvane-cli";
    // 1000 waypoints: a Chinese character and digits in the Garmin file, two
    // zero bytes and the digits in the GTM file, whose comments make it 3 MB.
    WtrBuilder garminFile;
    GtmBuilder gtmFile;
    for (int i = 0; i < 1000; ++i) {
        const std::string digits = std::to_string(1000000 + i).substr(1);
        garminFile.waypoint("\xA4\xA4" + digits, static_cast<float>(i));
        gtmFile.waypoint(std::string("\0\0", 2) + digits, static_cast<float>(i), std::string(3000, static_cast<char>('a' + i % 26)));
    }
    TempDir dir;
    const std::string garmin = dir.Write("garmin.wtr", garminFile.build());
    const std::vector<uint8_t> original = gtmFile.build();
    auto leftovers = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "repair.gtm" && name != "garmin.wtr") names.push_back(name);
        }
        return names;
    };

    // One run to the end gives the repaired file and the lengths of a whole
    // run and of its save, from which the kill moments are drawn.
    const std::string gtm = dir.Write("repair.gtm", original);
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_CREATE), 0);
    const auto started = Clock::now();
    pid_t pid = StartRepair({cli, "repair", garmin, gtm});
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitForCreation(watch, pid));
    const auto saving = Clock::now();
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the repair itself must succeed";
    const auto run = std::chrono::duration_cast<microseconds>(Clock::now() - started).count();
    const auto save = std::chrono::duration_cast<microseconds>(Clock::now() - saving).count();
    const std::vector<uint8_t> repaired = ReadBytes(gtm);
    ASSERT_EQ(repaired.size(), original.size());
    ASSERT_NE(repaired, original);
    ASSERT_TRUE(leftovers().empty());

    std::mt19937 random(std::random_device{}());
    int old = 0, whole = 0, killedWhileSaving = 0;
    for (int trial = 0; trial < 120; ++trial) {
        dir.Write("repair.gtm", original);
        for (char events[4096]; ::read(watch, events, sizeof events) > 0;) {
        }
        pid = StartRepair({cli, "repair", garmin, gtm});
        ASSERT_GT(pid, 0);
        // Three of four kills fall into the save, the fourth anywhere.
        const bool duringSave = trial % 4 != 0;
        const auto span = duringSave ? save : run;
        if (!duringSave || WaitForCreation(watch, pid))
            std::this_thread::sleep_for(microseconds(std::uniform_int_distribution<long>(0, span + span / 5)(random)));
        ::kill(pid, SIGKILL);
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);

        const std::vector<uint8_t> now = ReadBytes(gtm);
        ASSERT_TRUE(now == original || now == repaired) << "trial " << trial << ": the file is neither the old nor the repaired one";
        old += now == original;
        whole += now == repaired;
        // A kill during the save may leave the temporary file; never more.
        const std::vector<std::string> left = leftovers();
        ASSERT_LE(left.size(), 1u);
        for (const std::string& name : left) {
            ASSERT_EQ(name.rfind(".repair.gtm.lorvane-", 0), 0u) << name;
            fs::remove(dir.path() / name);
            ++killedWhileSaving;
        }
    }
    ::close(watch);
    std::cout << "120 kills: " << old << " left the old file, " << whole << " the repaired one, "
              << killedWhileSaving << " stopped the save with its temporary file written in part\n";
}
