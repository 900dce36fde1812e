#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "output/log_file.h"
#include "support/log_text.h"
#include "support/temp_directory.h"

namespace {

// Another appender that cooperates takes the same lock, on the byte at 2^62:
// the daemon's entry waits for it, while readers of the log are not refused.
TEST(DaemonLogLockWindows, AppendWaitsForAnotherWritersLockAndReadersAreNotRefused) {
  TempDirectory directory;
  const std::string log = directory.file("brimletlog.txt");
  const HANDLE other = CreateFileA(log.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, other);
  OVERLAPPED lockByte{};
  lockByte.OffsetHigh = 0x40000000;
  ASSERT_TRUE(
      LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &lockByte));
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(other, "other's first half", 18, &written, nullptr));

  std::atomic<bool> appended{false};
  std::thread daemon([&] {
    std::string error;
    appendLine(log, "daemon", &error);
    appended = true;
  });
  Sleep(300);
  EXPECT_FALSE(appended) << "appended while another writer held the lock";
  EXPECT_EQ("other's first half", readFile(log)) << "a reader was refused";
  ASSERT_TRUE(WriteFile(other, ", second half\r\n", 15, &written, nullptr));
  UnlockFileEx(other, 0, 1, 0, &lockByte);
  daemon.join();
  CloseHandle(other);
  EXPECT_EQ("other's first half, second half\r\ndaemon\r\n", readFile(log));
}

}  // namespace
