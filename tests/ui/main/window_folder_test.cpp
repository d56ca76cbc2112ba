// The change-directory button's folder chooser: too little free space is
// refused, a drive root and a plain folder become the install path.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/wine_drive.h"
#include "tests/support/windows.h"
#include "tests/support/xdotool.h"
#include "tests/ui/main/window_folder_dialog.h"
#include "tests/ui/main/window_session.h"

namespace {

const wchar_t kGames[] = L"C:\\WindowTestGames\\";

// Clicks the change button and picks `path` in the dialog it opens.
void Choose(InstallerRun& run, const std::vector<std::wstring>& path)
{
    ASSERT_TRUE(run.Click(555, 231));
    FolderDialog dialog(run.process().id(), run.process().handle());
    ASSERT_TRUE(dialog.Wait()) << "no folder dialog";
    ASSERT_TRUE(dialog.Select(path)) << "not in the tree: " << testing::PrintToString(path);
    ASSERT_TRUE(dialog.ClickOk());
    ASSERT_TRUE(dialog.WaitUntilClosed());
}

MainLook WithPath(const wchar_t* path)
{
    MainLook look;
    look.path = path;
    return look;
}

class WindowFolder : public WindowTest {
protected:
    void TearDown() override
    {
        RemoveFolder(kGames);
        WindowTest::TearDown();
    }
};

}  // namespace

TEST_F(WindowFolder, AFolderWithLessThan55MbFreeIsRefused)
{
    const char* small = getenv("LOBBY_SMALL_DISK");
    ULARGE_INTEGER free = {};
    if (!small || !GetDiskFreeSpaceExA(("Z:" + std::string(small)).c_str(), &free, nullptr, nullptr) ||
        free.QuadPart >= 55ull << 20)
        GTEST_SKIP() << "no small disk: a 50 MB tmpfs could not be mounted on this host";
    WineDrive drive(L'S', DRIVE_FIXED, small);
    ASSERT_TRUE(drive.defined());
    InstallerRun run(kLocalInstaller);
    ASSERT_TRUE(run.WaitForWindow());

    ASSERT_NO_FATAL_FAILURE(Choose(run, {L"我的电脑", L"(S:)"}));
    std::vector<std::wstring> boxes = AnswerMessageBoxes(run.process().id(), 1, 20000);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"硬盘空间不足，请检查后再重试。", boxes[0]);
    EXPECT_TRUE(run.WaitForLook(ComposeMain({}), kPath)) << "the old path did not stay";
}

TEST_F(WindowFolder, ADriveRootAndAPlainFolderBecomeThePath)
{
    CreateDirectoryW(kGames, nullptr);
    InstallerRun run(kLocalInstaller);
    ASSERT_TRUE(run.WaitForWindow());

    ASSERT_NO_FATAL_FAILURE(Choose(run, {L"我的电脑", L"(C:)"}));
    EXPECT_TRUE(run.WaitForLook(ComposeMain(WithPath(L"安装路径：C:\\Quillmoor\\")), kPath));
    ASSERT_NO_FATAL_FAILURE(Choose(run, {L"我的电脑", L"(C:)", L"WindowTestGames"}));
    EXPECT_TRUE(run.WaitForLook(ComposeMain(WithPath(L"安装路径：C:\\WindowTestGames\\Quillmoor\\")), kPath));

    // The installation goes where the label says.
    ASSERT_TRUE(run.Click(499, 300));
    EXPECT_EQ(0u, run.WaitForExit(30000));
    EXPECT_TRUE(FileExists(std::wstring(kGames) + L"Quillmoor\\lobby.exe"));
}

// The dialog belongs to the window, which waits for it; a second start may
// begin the installation meanwhile, and a folder picked after that changes
// nothing: the installation goes where it began.
TEST_F(WindowFolder, APickAfterTheInstallationBeganChangesNothing)
{
    CreateDirectoryW(kGames, nullptr);
    InstallerRun run(kPacedInstaller);
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.Click(555, 231));
    FolderDialog dialog(run.process().id(), run.process().handle());
    ASSERT_TRUE(dialog.Wait()) << "no folder dialog";
    EXPECT_EQ(run.window(), GetWindow(dialog.window(), GW_OWNER));
    EXPECT_FALSE(IsWindowEnabled(run.window())) << "the dialog is not modal";

    {
        InstallerRun second(kPacedInstaller);
        EXPECT_EQ(0u, second.WaitForExit(20000)) << "the second start did not end by itself";
    }
    std::wstring archive = std::wstring(kDefaultInstallDir) + L"kp_lobby.install";
    ASSERT_TRUE(PumpUntil([&] { return FileSize(archive) > 0; }, 30000)) << "the installation did not begin";
    ASSERT_TRUE(dialog.Select({L"我的电脑", L"(C:)", L"WindowTestGames"}));
    ASSERT_TRUE(dialog.ClickOk());
    ASSERT_TRUE(dialog.WaitUntilClosed());

    // The text only: the running figure may pass below it.
    constexpr Region kPathText = {"path text", {30, 225, 280, 237}};
    EXPECT_TRUE(run.WaitForLook(ComposeMain({}), kPathText)) << "the picked folder replaced the path";
    EXPECT_EQ(0u, run.WaitForExit(60000));
    EXPECT_TRUE(FileExists(std::wstring(kDefaultInstallDir) + L"lobby.exe"));
    EXPECT_FALSE(FileExists(std::wstring(kGames) + L"Quillmoor"));
}
