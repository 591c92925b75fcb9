#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ops/firmware_file.h"
#include "temp_dir.h"

namespace {

// Writes `bytes` to `name` in `dir`; gives its UTF-8 path.
std::string Write(const TempDir& dir, const std::string& name, const std::string& bytes) {
    const std::filesystem::path path = dir.path() / std::u8string(name.begin(), name.end());
    std::ofstream(path, std::ios::binary) << bytes;
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

TEST(FirmwareFile, OpensAnyUnicodePathAndReadsAtOffsetsPastFourGiB) {
    TempDir dir;
    const std::string name = "Прошивка ü 固件 🐄.bin";
    const std::string path = Write(dir, name, "\1\2\3\4\5");
    const uint64_t size = (uint64_t{1} << 32) + 8000;
    std::filesystem::resize_file(std::u8string(path.begin(), path.end()), size);  // sparse: takes no space

    FirmwareFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(file.Length(), size);
    uint8_t block[128];
    EXPECT_EQ(file.ReadAt(size - 10, block, sizeof block), 10u) << "short read at the tail";
    EXPECT_EQ(file.ReadAt(size, block, sizeof block), 0u);
    ASSERT_EQ(file.ReadAt(1, block, 4), 4u) << "a read after the end still works";
    EXPECT_EQ(block[3], 5);
}

TEST(FirmwareFile, OnlyARegularFileOpensAndAFailedOpenLeavesNoneOpen) {
    TempDir dir;
    FirmwareFile file;
    ASSERT_TRUE(file.Open(Write(dir, "a.bin", "a")));
    EXPECT_FALSE(file.Open((dir.path() / "missing.bin").string()));
    EXPECT_FALSE(file.IsOpen()) << "the earlier file is closed";
    EXPECT_EQ(file.Length(), std::nullopt);
    std::filesystem::create_directory(dir.path() / "folder.bin");
    EXPECT_FALSE(file.Open((dir.path() / "folder.bin").string()));
}

}  // namespace
