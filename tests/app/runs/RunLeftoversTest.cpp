// What a stopped solver leaves beside the solver file, and that only what
// appeared during the run is removed.
#include "RunLeftovers.h"

#include "TempDir.h"

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

TEST(RunLeftovers, RemovesOnlyTheNewVersionsOfThatFileMadeSinceTheStart) {
    kx::test::TempDir dir;
    const std::string file = dir.write("data/run.txt", "mechanism\r\n");
    dir.write("data/.run.txt.kxrun.0000abcd", "another run's");
    RunLeftovers leftovers(file);
    for (const char* name : {".run.txt.kxrun.12345678", ".run.txt.kxrun.9abcdef0", ".run.txt.kxrun.1234567",
                             ".run.txt.kxrun.1234567g", ".other.txt.kxrun.12345678", "run.txt.kxrun.12345678",
                             ".run.txt.kxrun.12345678.bak"})
        dir.write(std::string("data/") + name, "x");
    EXPECT_EQ(leftovers.RemoveNew(), 2);
    EXPECT_EQ(namesIn(dir.file("data")),
              (std::set<std::string>{"run.txt", ".run.txt.kxrun.0000abcd", ".run.txt.kxrun.1234567",
                                     ".run.txt.kxrun.1234567g", ".other.txt.kxrun.12345678", "run.txt.kxrun.12345678",
                                     ".run.txt.kxrun.12345678.bak"}));
    EXPECT_EQ(leftovers.RemoveNew(), 0);
}

TEST(RunLeftovers, ALinkIsFollowedToTheFileTheSolverWrites) {
    kx::test::TempDir dir;
    const std::string file = dir.write("data/run.txt", "mechanism\r\n");
    const std::string link = dir.file("link.txt");
    std::filesystem::create_symlink(file, link);
    RunLeftovers leftovers(link);
    dir.write("data/.run.txt.kxrun.00c0ffee", "x");
    dir.write(".link.txt.kxrun.00c0ffee", "not beside the file");
    EXPECT_EQ(leftovers.RemoveNew(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("data/.run.txt.kxrun.00c0ffee")));
    EXPECT_TRUE(std::filesystem::exists(dir.file(".link.txt.kxrun.00c0ffee")));
    // A file that is not there has nothing beside it.
    EXPECT_EQ(RunLeftovers(dir.file("missing.txt")).RemoveNew(), 0);
    EXPECT_EQ(RunLeftovers().RemoveNew(), 0);
}
