// What a stopped solver leaves beside the solver file: removed when no live
// run holds it, kept while one does.
#include "RunLeftovers.h"

#include "TempDir.h"
#include "owned_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using kx::runs::RunLeftovers;

namespace {

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

}  // namespace

TEST(RunLeftovers, RemovesTheNewVersionsOfThatFileThatNoLiveRunHolds) {
    kx::test::TempDir dir;
    const std::string file = dir.write("data/run.txt", "mechanism\r\n");
    // A run that still writes its new version holds it.
    kx::OwnedFile live;
    int err = 0;
    std::FILE* writing = live.Create(dir.file("data/.run.txt.kxrun.0000abcd"), err);
    ASSERT_NE(writing, nullptr) << err;
    std::fputs("a live run's", writing);
    std::fclose(writing);  // the run still holds it after closing
    for (const char* name : {".run.txt.kxrun.12345678", ".run.txt.kxrun.9abcdef0", ".run.txt.kxrun.1234567",
                             ".run.txt.kxrun.1234567g", ".other.txt.kxrun.12345678", "run.txt.kxrun.12345678",
                             ".run.txt.kxrun.12345678.bak"})
        dir.write(std::string("data/") + name, "x");
    const RunLeftovers leftovers(file);
    EXPECT_EQ(leftovers.RemoveAbandoned(), 2);
    EXPECT_EQ(namesIn(dir.file("data")),
              (std::set<std::string>{"run.txt", ".run.txt.kxrun.0000abcd", ".run.txt.kxrun.1234567",
                                     ".run.txt.kxrun.1234567g", ".other.txt.kxrun.12345678", "run.txt.kxrun.12345678",
                                     ".run.txt.kxrun.12345678.bak"}));
    EXPECT_EQ(leftovers.RemoveAbandoned(), 0);
    // Once the run has ended, what it left is abandoned.
    live.Release();
    EXPECT_EQ(leftovers.RemoveAbandoned(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/.run.txt.kxrun.0000abcd")));
}

TEST(RunLeftovers, ALinkIsFollowedToTheFileTheSolverWrites) {
    kx::test::TempDir dir;
    const std::string file = dir.write("data/run.txt", "mechanism\r\n");
    const std::string link = dir.file("link.txt");
    std::filesystem::create_symlink(file, link);
    RunLeftovers leftovers(link);
    dir.write("data/.run.txt.kxrun.00c0ffee", "x");
    dir.write(".link.txt.kxrun.00c0ffee", "not beside the file");
    EXPECT_EQ(leftovers.RemoveAbandoned(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/.run.txt.kxrun.00c0ffee")));
    EXPECT_TRUE(std::filesystem::exists(dir.file(".link.txt.kxrun.00c0ffee")));
    // A file that is not there has nothing beside it.
    EXPECT_EQ(RunLeftovers(dir.file("missing.txt")).RemoveAbandoned(), 0);
    EXPECT_EQ(RunLeftovers().RemoveAbandoned(), 0);
}
