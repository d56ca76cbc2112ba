// What the window shows of a download, and where the client goes: the
// plain functions behind the progress displays and the install path.
#include <gtest/gtest.h>

#include "base/ansi_text.h"
#include "ui/main/install_location.h"
#include "ui/main/progress_view.h"

namespace {

constexpr uint64_t kTotal = 1319247;  // the sample archive

ProgressView At(uint64_t done, uint64_t total = kTotal)
{
    ProgressFigures figures;
    figures.done = done;
    figures.total = total;
    return MakeProgressView(figures);
}

std::string Narrow(const std::wstring& text)
{
    return ToAnsi(text.c_str());
}

}  // namespace

TEST(ProgressView, EmptyHalfAndFull)
{
    ProgressView before = MakeProgressView(ProgressFigures{});
    EXPECT_EQ(L"0.00M/0.00M", before.sizeText);
    EXPECT_EQ(L"0%", before.percentText);
    EXPECT_EQ(0, before.fillWidth);
    EXPECT_EQ(Narrow(L"当前下载速度：0K/S"), Narrow(before.speedText));

    ProgressView none = At(0);
    EXPECT_EQ(L"0.00M/1.26M", none.sizeText);
    EXPECT_EQ(L"0%", none.percentText);
    EXPECT_EQ(0, none.fillWidth);

    ProgressView half = At(kTotal / 2);
    EXPECT_EQ(L"0.63M/1.26M", half.sizeText);
    EXPECT_EQ(L"49%", half.percentText);  // 659623 of 1319247 bytes
    EXPECT_EQ(267, half.fillWidth);

    // The rounded single-precision reciprocal may fall just short of 1.
    ProgressView full = At(kTotal);
    EXPECT_EQ(L"1.26M/1.26M", full.sizeText);
    EXPECT_TRUE(full.percentText == L"100%" || full.percentText == L"99%") << Narrow(full.percentText);
    EXPECT_GE(full.fillWidth, 535);
    EXPECT_LE(full.fillWidth, 536);
    EXPECT_EQ(536, At(kTotal * 2).fillWidth) << "never past the bar";
}

// Bytes per millisecond first, then times 1000: the remainder is lost.
TEST(ProgressView, SpeedTurnsToWholeMegabytesAt1024KilobytesPerSecond)
{
    struct Case {
        uint64_t received;
        uint32_t elapsedMs;
        const wchar_t* text;
    } cases[] = {
        {0, 1, L"0K/S"},
        {1048999, 1000, L"1023K/S"},   // 1048 per ms
        {1049000, 1000, L"1M/S"},      // 1049 per ms: 1024 KB/s
        {1572864, 1000, L"1M/S"},      // 1536 KB/s
        {2149000, 1000, L"2M/S"},
        {68720000000, 1000, L"65536M/S"},  // 65536 MB/s: no 16-bit wrap to 0
        {5000, 0, L"4M/S"},            // no division by zero: 0 ms counts as 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.received << " bytes in " << c.elapsedMs << " ms");
        EXPECT_EQ(Narrow(std::wstring(L"当前下载速度：") + c.text), Narrow(SpeedText(c.received, c.elapsedMs)));
    }
}

TEST(ProgressView, RunnerCyclesThroughCellsOneToSeventeen)
{
    EXPECT_EQ(1, NextRunnerCell(0));
    EXPECT_EQ(17, NextRunnerCell(16));
    EXPECT_EQ(1, NextRunnerCell(17));
}

TEST(InstallLocation, DefaultAndPickedRoots)
{
    InstallLocation c = DefaultInstallLocation(false, L"Quillmoor");
    EXPECT_EQ(L"C:\\Program Files\\", c.root);
    EXPECT_EQ(Narrow(L"安装路径：C:\\Program Files\\Quillmoor\\"), Narrow(c.label));
    InstallLocation d = DefaultInstallLocation(true, L"Quillmoor");
    EXPECT_EQ(L"D:\\Program Files\\", d.root);
    EXPECT_EQ(Narrow(L"安装路径：D:\\Program Files\\Quillmoor\\"), Narrow(d.label));

    InstallLocation root = PickedInstallLocation(L"D:\\", 3, L"Quillmoor");
    EXPECT_EQ(L"D:\\", root.root);
    EXPECT_EQ(Narrow(L"安装路径：D:\\Quillmoor\\"), Narrow(root.label));
    InstallLocation folder = PickedInstallLocation(L"E:\\Games", 8, L"Quillmoor");
    EXPECT_EQ(L"E:\\Games\\", folder.root);
    EXPECT_EQ(Narrow(L"安装路径：E:\\Games\\Quillmoor\\"), Narrow(folder.label));
    // Three UTF-16 units but five bytes in the code page: a folder, not a root.
    InstallLocation wide = PickedInstallLocation(L"D:游", 4, L"Quillmoor");
    EXPECT_EQ(L"D:游\\", wide.root);
}
