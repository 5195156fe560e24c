// Loading the file to send: padding, refusals and their messages.
#include "tests/transfer/XmodemRig.h"
#include "transfer/XmodemImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

namespace transfertest {
namespace {

constexpr int64_t TWO_GIB = int64_t { 1 } << 31;

class ImagePadding : public testing::TestWithParam<std::tuple<int32_t, size_t, size_t>> { };

TEST_P(ImagePadding, IsTheFileFollowedByPadBytesUpToWholeBlocks)
{
    const auto [blockSize, fileSize, paddedSize] = GetParam();
    const TempDir dir;
    const std::vector<uint8_t> content = RandomBytes(fileSize, 7);
    const XmodemImage image = LoadXmodemImage(WidePath(dir.WriteFile("f.bin", content)), blockSize, 0x1A);

    ASSERT_EQ(image.result, ImageLoadResult::Loaded);
    ASSERT_EQ(image.data.size(), paddedSize);
    EXPECT_TRUE(std::equal(content.begin(), content.end(), image.data.begin()));
    EXPECT_TRUE(std::all_of(image.data.begin() + static_cast<std::ptrdiff_t>(fileSize), image.data.end(),
                            [](uint8_t b) { return b == 0x1A; }));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ImagePadding,
                         testing::Values(std::make_tuple(128, 0u, 0u), std::make_tuple(128, 1u, 128u),
                                         std::make_tuple(128, 128u, 128u), std::make_tuple(128, 300u, 384u),
                                         std::make_tuple(1024, 1024u, 1024u), std::make_tuple(1024, 1025u, 2048u)));

TEST(ImageLoad, TakesAWideFileNameOutsideAscii)
{
    const TempDir dir;
    const std::filesystem::path path = dir.Path() / std::filesystem::path(u8"烧写文件.bin");
    std::filesystem::copy_file(dir.WriteFile("plain.bin", { 1, 2, 3 }), path);
    const XmodemImage image = LoadXmodemImage(WidePath(dir.Path()) + L"/烧写文件.bin", 128, 0x1A);
    ASSERT_EQ(image.result, ImageLoadResult::Loaded);
    EXPECT_EQ(image.data.size(), 128u);
    EXPECT_EQ(image.data[2], 3);
}

TEST(ImageLoad, RefusesWhatIsNoReadableFile)
{
    const TempDir dir;
    EXPECT_EQ(LoadXmodemImage(WidePath(dir.Path() / "missing.bin"), 128, 0x1A).result, ImageLoadResult::Unreadable);
    EXPECT_EQ(LoadXmodemImage(WidePath(dir.Path()), 128, 0x1A).result, ImageLoadResult::Unreadable);
    EXPECT_EQ(LoadXmodemImage(std::wstring(L"/tmp/\xD800.bin"), 128, 0x1A).result, ImageLoadResult::Unreadable);
    EXPECT_EQ(LoadXmodemImage(L"", 128, 0x1A).result, ImageLoadResult::Unreadable);
}

// Sparse files: nothing of their size is written or allocated.
TEST(ImageLoad, RefusesAFileWhosePaddedImageExceedsA32BitLength)
{
    const TempDir dir;
    const std::filesystem::path big = dir.WriteFile("big.bin", {});
    std::filesystem::resize_file(big, static_cast<uintmax_t>(TWO_GIB));
    const XmodemImage image = LoadXmodemImage(WidePath(big), 128, 0x1A);
    EXPECT_EQ(image.result, ImageLoadResult::TooLarge);
    EXPECT_TRUE(image.data.empty());

    // One byte under 2 GiB still pads to 2 GiB.
    std::filesystem::resize_file(big, static_cast<uintmax_t>(TWO_GIB - 1));
    EXPECT_EQ(LoadXmodemImage(WidePath(big), 128, 0x1A).result, ImageLoadResult::TooLarge);
}

class XmodemLoadFile : public testing::Test {
protected:
    MessageBoxRecorder m_messages;
    XmodemRig m_rig { 200 };
};

TEST_F(XmodemLoadFile, MissingFileAsksForAFileAndKeepsThePreviousImage)
{
    const std::vector<uint8_t> first = RandomBytes(100, 1);
    m_rig.Load(XMODEM_CRC, first);

    EXPECT_FALSE(m_rig.xmodem.LoadFile(WidePath(m_rig.dir.Path() / "gone.bin")));
    EXPECT_EQ(m_messages.Messages(), std::vector<std::wstring> { L"Please select a file to send!" });

    m_rig.xmodem.Start();
    m_rig.Reply('C');
    EXPECT_EQ(m_rig.Read(133), ExpectedBlock(XMODEM_CRC, 1, Padded(first, 128).data()));
}

TEST_F(XmodemLoadFile, FileOfTwoGibibytesIsRefusedWithItsOwnMessage)
{
    const std::filesystem::path big = m_rig.dir.WriteFile("big.bin", {});
    std::filesystem::resize_file(big, static_cast<uintmax_t>(TWO_GIB));
    EXPECT_FALSE(m_rig.xmodem.LoadFile(WidePath(big)));
    EXPECT_EQ(m_messages.Messages(), std::vector<std::wstring> { L"发送的文件必须小于2GB，请重新选择！" });
}

TEST_F(XmodemLoadFile, ChangingTheBlockSizeDropsAnImagePaddedForTheOldOne)
{
    m_rig.Load(XMODEM_CRC, RandomBytes(300, 2)); // 384 bytes: no whole number of 1024-byte blocks
    m_rig.xmodem.SetMode(XMODEM_1KCRC);
    m_rig.xmodem.Start();
    m_rig.Reply('C');
    EXPECT_EQ(m_rig.ReadQuiet(), std::vector<uint8_t> { XMODEM_EOT });
}

} // namespace
} // namespace transfertest
