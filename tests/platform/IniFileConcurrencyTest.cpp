#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "platform/DateTime.h"
#include "platform/IniFile.h"
#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using testing::TTempFolder;

std::string KeyOf(int writer, int index) {
    return std::to_string(writer * 1000000 + index);
}

// Writes `count` keys of its own, each with its name as value; tells whether every write reported
// success.
bool WriteKeys(const std::string& fileName, int writer, int count) {
    TIniFile ini(fileName, TDurability::dbAtomicOnly);
    bool good = true;
    for (int i = 0; i < count; ++i)
        good = ini.WriteString("Shared", KeyOf(writer, i), KeyOf(writer, i)) && good;
    return good;
}

pid_t StartWriter(const std::string& fileName, int writer, int count) {
    const pid_t pid = fork();
    if (pid == 0) _exit(WriteKeys(fileName, writer, count) ? 0 : 1);
    return pid;
}

bool Succeeded(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ExpectKeysOfTwoWriters(const std::string& fileName, int count) {
    TIniFile ini(fileName);
    std::vector<std::string> keys;
    ASSERT_TRUE(ini.ReadSection("Shared", keys));
    EXPECT_EQ(keys.size(), 2u * count);
    for (int writer = 1; writer <= 2; ++writer)
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(ini.ReadString("Shared", KeyOf(writer, i), "lost"), KeyOf(writer, i));
}

TEST(IniFileConcurrency, TwoProcessesLoseNoWrite) {
    TTempFolder folder;
    const std::string fileName = folder.File("TAVLOR_TRANS.FER");
    const pid_t first = StartWriter(fileName, 1, 1000);
    const pid_t second = StartWriter(fileName, 2, 1000);
    EXPECT_TRUE(Succeeded(first));
    EXPECT_TRUE(Succeeded(second));
    ExpectKeysOfTwoWriters(fileName, 1000);
}

// Two threads of one process must keep apart as well (plain fcntl locks would not).
TEST(IniFileConcurrency, TwoThreadsLoseNoWrite) {
    TTempFolder folder;
    const std::string fileName = folder.File("threads.ini");
    bool firstGood = false;
    std::thread first([&] { firstGood = WriteKeys(fileName, 1, 200); });
    EXPECT_TRUE(WriteKeys(fileName, 2, 200));
    first.join();
    EXPECT_TRUE(firstGood);
    ExpectKeysOfTwoWriters(fileName, 200);
}

// A writer killed at any moment leaves the file as it was before or after one of its writes:
// every key it wrote up to some point, each with its value, and nothing else.
TEST(IniFileConcurrency, KilledWriterLeavesAWholeFile) {
    for (int round = 0; round < 6; ++round) {
        TTempFolder folder;
        const std::string fileName = folder.File("killed.ini");
        const pid_t pid = StartWriter(fileName, 1, 1000000);
        ASSERT_GT(pid, 0);
        Sleep(20 + 15 * round);
        kill(pid, SIGKILL);
        EXPECT_FALSE(Succeeded(pid));

        TIniFile ini(fileName);
        std::vector<std::string> keys;
        ASSERT_TRUE(ini.ReadSection("Shared", keys));
        std::string expected = keys.empty() ? "" : "[Shared]\r\n";
        for (int i = 0; i < static_cast<int>(keys.size()); ++i)
            expected += KeyOf(1, i) + "=" + KeyOf(1, i) + "\r\n";
        EXPECT_EQ(testing::ReadBytes(fileName), expected) << round;
        // The dead writer holds no lock.
        EXPECT_TRUE(ini.WriteString("Shared", "after", "1"));
    }
}

}  // namespace
}  // namespace tavlor
