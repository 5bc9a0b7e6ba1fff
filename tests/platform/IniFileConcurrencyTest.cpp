#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/DateTime.h"
#include "platform/IniFile.h"
#include "tests/platform/TempFolder.h"

namespace tavlor {
namespace {

using testing::TTempFolder;

std::string KeyName(int writer, int index) {
    std::string name = "W";
    return name.append(std::to_string(writer)).append("_").append(std::to_string(index));
}

std::string ValueOf(int writer, int index) {
    std::string value = "value ";
    return value.append(std::to_string(writer * 100000 + index));
}

// Writes `count` keys of its own; the exit code tells whether every write reported success.
[[noreturn]] void WriterProcess(const std::string& fileName, int writer, int count) {
    TIniFile ini(fileName);
    bool good = true;
    for (int i = 0; i < count; ++i) {
        const TFileStatus status =
            ini.WriteString("Shared", KeyName(writer, i), ValueOf(writer, i));
        if (!status) {
            std::fprintf(stderr, "%s\n", status.Message.c_str());
            good = false;
        }
    }
    _exit(good ? 0 : 1);
}

pid_t StartWriter(const std::string& fileName, int writer, int count) {
    const pid_t pid = fork();
    if (pid == 0) WriterProcess(fileName, writer, count);
    return pid;
}

bool Succeeded(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(IniFileConcurrency, TwoProcessesLoseNoWrite) {
    TTempFolder folder;
    const std::string fileName = folder.File("TAVLOR_TRANS.FER");
    constexpr int cWritesEach = 1000;
    const pid_t first = StartWriter(fileName, 1, cWritesEach);
    const pid_t second = StartWriter(fileName, 2, cWritesEach);
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_TRUE(Succeeded(first));
    EXPECT_TRUE(Succeeded(second));

    TIniFile ini(fileName);
    std::vector<std::string> keys;
    ASSERT_TRUE(ini.ReadSection("Shared", keys));
    EXPECT_EQ(keys.size(), 2u * cWritesEach);
    for (int writer = 1; writer <= 2; ++writer)
        for (int i = 0; i < cWritesEach; ++i)
            ASSERT_EQ(ini.ReadString("Shared", KeyName(writer, i), "lost"), ValueOf(writer, i))
                << KeyName(writer, i);
}

TEST(IniFileConcurrency, TwoThreadsLoseNoWrite) {
    TTempFolder folder;
    const std::string fileName = folder.File("threads.ini");
    constexpr int cWritesEach = 200;
    auto writer = [&](int id) {
        TIniFile ini(fileName);
        for (int i = 0; i < cWritesEach; ++i)
            EXPECT_TRUE(ini.WriteString("Shared", KeyName(id, i), ValueOf(id, i)));
    };
    std::thread first(writer, 1);
    std::thread second(writer, 2);
    first.join();
    second.join();
    std::vector<std::string> keys;
    ASSERT_TRUE(TIniFile(fileName).ReadSection("Shared", keys));
    EXPECT_EQ(keys.size(), 2u * cWritesEach);
}

// A writer killed at any moment leaves either the file before or after one of its writes: every
// key it wrote up to some point, each with its value, and nothing else.
TEST(IniFileConcurrency, KilledWriterLeavesAWholeFile) {
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE(round);
        TTempFolder folder;
        const std::string fileName = folder.File("killed.ini");
        const pid_t pid = StartWriter(fileName, 7, 1000000);
        ASSERT_GT(pid, 0);
        Sleep(20 + 15 * round);
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);

        TIniFile ini(fileName);
        std::vector<std::string> keys;
        ASSERT_TRUE(ini.ReadSection("Shared", keys));
        std::string expected = "[Shared]\r\n";
        for (std::size_t i = 0; i < keys.size(); ++i) {
            const int index = static_cast<int>(i);
            ASSERT_EQ(keys[i], KeyName(7, index));
            expected += KeyName(7, index) + "=" + ValueOf(7, index) + "\r\n";
        }
        EXPECT_EQ(testing::ReadBytes(fileName), keys.empty() ? "" : expected);
        // The next writer is not blocked by the dead one.
        EXPECT_TRUE(ini.WriteString("Shared", "after", "1"));
    }
}

}  // namespace
}  // namespace tavlor
