#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/File.h"
#include "platform/OpenFilePosition.h"
#include "support/TempDir.h"

namespace {

int OwnPid() { return std::stoi(std::filesystem::read_symlink("/proc/self").string()); }

TEST(OpenFilePositionTest, PositionOfTheDescriptorHoldingTheFileAndNoneForOthers) {
    TempDir dir;
    const std::string path = dir / "data.bin";
    WriteFileBytes(path, std::string(10000, 'x'));
    WriteFileBytes(dir / "other.bin", "y");
    EXPECT_EQ(platform::OpenFilePosition(OwnPid(), path), -1);
    platform::File file = platform::File::OpenRead(path);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(platform::OpenFilePosition(OwnPid(), path), 0);
    ASSERT_TRUE(file.Seek(4321));
    EXPECT_EQ(platform::OpenFilePosition(OwnPid(), path), 4321);
    EXPECT_EQ(platform::OpenFilePosition(OwnPid(), dir / "other.bin"), -1);
    EXPECT_EQ(platform::OpenFilePosition(OwnPid(), dir / "missing.bin"), -1);
    EXPECT_EQ(platform::OpenFilePosition(0, path), -1);
}

}  // namespace
