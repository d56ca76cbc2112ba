// The ready window against its layout, and the default install root.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/wine_drive.h"
#include "tests/support/xdotool.h"
#include "tests/ui/main/window_session.h"

using WindowLayout = WindowTest;

TEST_F(WindowLayout, ReadyWindowShowsEachElementWhereTheLayoutPutsIt)
{
    InstallerRun run(kLocalInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    RECT rect = run.ScreenRect();
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(600, rect.right - rect.left);
    EXPECT_EQ(350, rect.bottom - rect.top);
    EXPECT_LE(std::abs((rect.left + rect.right) - (work.left + work.right)), 1) << "not centred";
    EXPECT_LE(std::abs((rect.top + rect.bottom) - (work.top + work.bottom)), 1) << "not centred";

    Pixels expected = ComposeMain({});
    for (const Region& region : kAllButBanner)
        EXPECT_TRUE(run.WaitForLook(expected, region));
}

// D: is taken only as a fixed disk; a CD-ROM there would make the first
// installation fail. Seen on the path label and where the client lands.
TEST_F(WindowLayout, DriveDIsTheDefaultRootOnlyAsAFixedDisk)
{
    ScratchDir dFolder;
    struct Case {
        UINT type;
        const wchar_t* label;
    } cases[] = {{DRIVE_FIXED, kDefaultPathD}, {DRIVE_CDROM, kDefaultPathC}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type == DRIVE_FIXED ? "fixed disk" : "CD-ROM");
        WineDrive d(L'D', c.type, UnixPath(dFolder.path()));
        ASSERT_TRUE(d.defined());
        InstallerRun run(kLocalInstaller);
        ASSERT_TRUE(run.WaitForWindow());
        MainLook look;
        look.path = c.label;
        EXPECT_TRUE(run.WaitForLook(ComposeMain(look), kPath));

        ASSERT_TRUE(run.Click(499, 300));
        EXPECT_EQ(0u, run.WaitForExit(30000));
        std::wstring onD = dFolder / L"Program Files\\Quillmoor\\lobby.exe";
        std::wstring onC = std::wstring(kDefaultInstallDir) + L"lobby.exe";
        EXPECT_EQ(c.type == DRIVE_FIXED, FileExists(onD));
        EXPECT_EQ(c.type != DRIVE_FIXED, FileExists(onC));
        RemoveFolder(dFolder / L"Program Files");
        RemoveInstallation(kDefaultInstallDir);
    }
}
