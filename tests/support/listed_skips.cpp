// A test that skips in CI fails the run unless tests/skips.txt lists it with
// its reason: a skip nobody looks at would hide a case that never runs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/scratch_dir.h"

namespace {

// "Suite.Name" at the start of each line that is not a comment.
std::set<std::string> ListedSkips()
{
    std::set<std::string> listed;
    std::istringstream file(ReadFileBytes(FolderFromEnvironment("LOBBY_SOURCE_DIR") + L"tests\\skips.txt"));
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::string name;
        if (words >> name && name[0] != '#')
            listed.insert(name);
    }
    return listed;
}

class SkipsInCi : public testing::Environment {
public:
    void TearDown() override
    {
        const char* ci = getenv("CI");
        if (!ci || !*ci)
            return;
        std::set<std::string> listed = ListedSkips();
        const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
        for (int i = 0; i < unit.total_test_suite_count(); ++i) {
            const testing::TestSuite& suite = *unit.GetTestSuite(i);
            for (int j = 0; j < suite.total_test_count(); ++j) {
                const testing::TestInfo& test = *suite.GetTestInfo(j);
                std::string name = std::string(suite.name()) + "." + test.name();
                if (test.result() && test.result()->Skipped() && !listed.count(name))
                    ADD_FAILURE() << name << " skipped in CI, and tests/skips.txt does not list it";
            }
        }
    }
};

// A run that cannot say anything here: LOBBY_SHIPPED_SKIP, when set, is why
// every test of the program skips (tests/shipped/CMakeLists.txt).
class SkippedRun : public testing::Environment {
public:
    void SetUp() override
    {
        const char* why = getenv("LOBBY_SHIPPED_SKIP");
        if (why && *why)
            GTEST_SKIP() << why;
    }
};

testing::Environment* const skipsInCi = testing::AddGlobalTestEnvironment(new SkipsInCi);
testing::Environment* const skippedRun = testing::AddGlobalTestEnvironment(new SkippedRun);

}  // namespace

// Named by the support library's link options so the linker keeps this
// object, which nothing else references.
extern "C" const int lobbyTestSkipsInCi = 1;
