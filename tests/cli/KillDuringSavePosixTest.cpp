// A repair killed at any moment leaves the GTM file as it was or fully repaired: lorvane-cli repairs a 3 MB file and
// is killed at random moments, three of four while its temporary file exists. The next whole run removes what is left.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/FormatBuilders.h"

namespace fs = std::filesystem;
using std::chrono::microseconds;

TEST(KillDuringSave, TheFileIsAlwaysTheOldOneOrTheRepairedOne) {
    const char* cli = std::getenv("LORVANE_CLI");
    if (!cli || ::access(cli, X_OK) != 0) GTEST_SKIP() << "LORVANE_CLI does not name lorvane-cli";
    // 1000 waypoints: a Chinese character and digits in the Garmin file, two NULs, the digits and a comment in the GTM.
    WtrBuilder garminFile;
    GtmBuilder gtmFile;
    for (int i = 0; i < 1000; ++i) {
        const std::string digits = std::to_string(1000000 + i).substr(1), comment(3000, static_cast<char>('a' + i % 26));
        garminFile.waypoint("\xA4\xA4" + digits, static_cast<float>(i));
        gtmFile.waypoint(std::string("\0\0", 2) + digits, static_cast<float>(i), comment);
    }
    TempDir dir;
    const std::string garmin = dir.Write("garmin.wtr", garminFile.build()), gtm = dir.Write("repair.gtm", {});
    const std::vector<uint8_t> original = gtmFile.build();
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, dir.path().c_str(), IN_CREATE), 0);
    std::vector<uint8_t> repaired;
    std::mt19937 random(std::random_device{}());
    long run = 0, save = 0;  // the lengths of a whole run and of its save (µs), from trial 0
    // Trials 0 and 121 run to the end, the others are killed.
    for (int trial = 0; trial <= 121; ++trial) {
        dir.Write("repair.gtm", original);
        for (char events[4096]; ::read(watch, events, sizeof events) > 0;) continue;
        const auto started = std::chrono::steady_clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::freopen("/dev/null", "w", stdout), std::freopen("/dev/null", "w", stderr);
            ::execl(cli, cli, "repair", garmin.c_str(), gtm.c_str(), nullptr);
            ::_exit(127);
        }
        // Waits for the temporary file, or for the end of the process (not reaped, so that waitpid still can).
        const bool kill = trial % 121 != 0;
        for (pollfd created{watch, POLLIN, 0}; (!kill || trial % 4) && ::poll(&created, 1, 1) <= 0;) {
            siginfo_t info{};
            if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid) break;
        }
        const auto saving = std::chrono::steady_clock::now();
        std::uniform_int_distribution<long> delay(0, (trial % 4 ? save : run) * 6 / 5);
        if (kill) {
            std::this_thread::sleep_for(microseconds(delay(random)));
            ::kill(pid, SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(kill || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << "the repair itself must succeed";
        if (trial == 0) {
            run = std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - started).count();
            save = std::chrono::duration_cast<microseconds>(std::chrono::steady_clock::now() - saving).count();
            repaired = ReadBytes(gtm);
            ASSERT_TRUE(repaired.size() == original.size() && repaired != original);
        }
        const std::vector<uint8_t> now = ReadBytes(gtm);
        ASSERT_TRUE(now == repaired || (kill && now == original)) << "trial " << trial;
        // A killed save may leave its temporary file, made old here for the next whole run to remove.
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (name == "repair.gtm" || name == "garmin.wtr") continue;
            ASSERT_EQ(name.rfind(".repair.gtm.lorvane-", 0), 0u) << name;
            fs::last_write_time(entry.path(), fs::file_time_type::clock::now() - std::chrono::minutes(5));
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);  // no temporary file
}
