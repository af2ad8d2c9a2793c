#include "FileHelpers.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct SplitCase {
    const char* path;
    const char* name;
    const char* extension;
    int position;
};

class SplitFileName : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitFileName, NameAfterLastSlashExtensionAfterLastDot) {
    const SplitCase& c = GetParam();
    std::string name = "x", ext = "x";
    std::int32_t pos = -1;
    kx::SplitFileName(c.path, name, ext, pos);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(ext, c.extension);
    EXPECT_EQ(pos, c.position);
}

INSTANTIATE_TEST_SUITE_P(Paths, SplitFileName,
                         ::testing::Values(SplitCase{"  /data/run.sol  ", "run.sol", "sol", 8},
                                           SplitCase{"/data.old/README", "README", "old/README", 7},
                                           SplitCase{"file.txt", "file.txt", "txt", 9},
                                           SplitCase{"noext", "noext", "noext", 6},
                                           SplitCase{"/data/", "", "/data/", 1}, SplitCase{"", "", "", 1}));

TEST(DeleteFileIfPresent, ReportsEveryFailure) {
    kx::test::TempDir dir;
    bool failed = true;
    std::string path = dir.write("a.tmp", "x");
    kx::DeleteFileIfPresent(path, failed);
    EXPECT_FALSE(failed);
    EXPECT_FALSE(std::filesystem::exists(path));
    kx::DeleteFileIfPresent(path, failed);  // already gone
    EXPECT_TRUE(failed);
    kx::DeleteFileIfPresent("", failed);
    EXPECT_TRUE(failed);
    kx::DeleteFileIfPresent(dir.path(), failed);  // a folder is not deleted
    EXPECT_TRUE(failed);
    EXPECT_TRUE(std::filesystem::exists(dir.path()));
}

TEST(CheckReadOnly, States) {
    kx::test::TempDir dir;
    std::int32_t state = 0;
    std::string message = "old";
    kx::CheckReadOnly("", state, message, false);
    EXPECT_EQ(state, kx::kNoPathGiven);
    EXPECT_EQ(message, "");

    std::string path = dir.write("o.txt", "x");
    kx::CheckReadOnly(path, state, message, false);
    EXPECT_EQ(state, kx::kNotReadOnly);

    kx::CheckReadOnly(dir.file("missing.txt"), state, message, true);
    EXPECT_EQ(state, kx::kNotReadOnly);

    ::chmod(path.c_str(), 0444);
    kx::CheckReadOnly(path, state, message, false);
    EXPECT_EQ(state, kx::kReadOnly);
    EXPECT_EQ(message, "File '" + path + "' is read-only, remove this attribute. The program terminates. ");
    struct stat st {};
    ::stat(path.c_str(), &st);
    EXPECT_FALSE(st.st_mode & S_IWUSR);  // only reported

    kx::CheckReadOnly(path, state, message, true);
    EXPECT_EQ(state, kx::kReadOnlyCleared);
    EXPECT_EQ(message, "");
    ::stat(path.c_str(), &st);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
}

}  // namespace
