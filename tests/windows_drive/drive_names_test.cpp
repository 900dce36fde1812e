// The server and share path a Windows drive reading shows, from a UNC path.
#include <gtest/gtest.h>

#include "windows_drive/drive_names.h"

namespace {

struct UncCase {
  const char* name;
  const char* path;
  bool unc;
  const char* server;
};

class UncPathTest : public ::testing::TestWithParam<UncCase> {};

TEST_P(UncPathTest, TellsTheServer) {
  const UncCase& c = GetParam();
  EXPECT_EQ(c.unc, IsUncPath(c.path));
  EXPECT_EQ(c.server, ServerOfUncPath(c.path));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, UncPathTest,
    ::testing::Values(UncCase{"ShareWithFolders", "\\\\FS1\\home\\user1", true, "FS1"},
                      UncCase{"ServerOnly", "\\\\FS1", true, "FS1"},
                      UncCase{"ForwardSlashes", "//fs1.example.org/home", true, "fs1.example.org"},
                      UncCase{"MixedSlashes", "\\/FS1/home", true, "FS1"},
                      UncCase{"NoServerName", "\\\\\\home", true, ""},
                      UncCase{"JustTheTwoSlashes", "\\\\", true, ""},
                      UncCase{"DriveRoot", "H:\\", false, ""},
                      UncCase{"RootedFolder", "\\home\\user1", false, ""},
                      UncCase{"OneCharacter", "\\", false, ""},
                      UncCase{"Empty", "", false, ""}),
    [](const ::testing::TestParamInfo<UncCase>& info) { return info.param.name; });

// GetDiskFreeSpaceExA takes a share only by its root with a trailing
// backslash; the path names no more than it did.
struct SpacePathCase {
  const char* name;
  const char* path;
  const char* passed;
};

class DiskSpacePathTest : public ::testing::TestWithParam<SpacePathCase> {};

TEST_P(DiskSpacePathTest, GivesAUncPathItsTrailingBackslash) {
  EXPECT_EQ(GetParam().passed, DiskSpacePath(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DiskSpacePathTest,
    ::testing::Values(SpacePathCase{"ShareRoot", "\\\\FS1\\home", "\\\\FS1\\home\\"},
                      SpacePathCase{"ShareRootWithBackslash", "\\\\FS1\\home\\", "\\\\FS1\\home\\"},
                      SpacePathCase{"ShareFolder", "\\\\FS1\\home\\user1",
                                    "\\\\FS1\\home\\user1\\"},
                      SpacePathCase{"ForwardSlashes", "//fs1/home/", "//fs1/home/"},
                      SpacePathCase{"ForwardSlashesNoEnd", "//fs1/home", "//fs1/home\\"},
                      SpacePathCase{"DriveRoot", "H:\\", "H:\\"},
                      SpacePathCase{"DriveFolder", "H:\\users", "H:\\users"},
                      SpacePathCase{"Empty", "", ""}),
    [](const ::testing::TestParamInfo<SpacePathCase>& info) { return info.param.name; });

}  // namespace
