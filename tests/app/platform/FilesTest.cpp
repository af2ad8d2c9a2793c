#include "Files.h"

#include "Errors.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

using kx::files::LineEnd;

kx::ErrorKind kindOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const kx::Error& e) {
        return e.kind();
    }
    ADD_FAILURE() << "no kx::Error thrown";
    return kx::ErrorKind::InvalidArgument;
}

struct SplitCase {
    const char* bytes;
    std::vector<std::string> lines;
};

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, AllThreeLineEndsEndALine) {
    EXPECT_EQ(kx::files::SplitLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, SplitLines,
    ::testing::Values(SplitCase{"a\r\nb\r\n", {"a", "b"}}, SplitCase{"a\nb", {"a", "b"}},
                      SplitCase{"a\rb\r", {"a", "b"}}, SplitCase{"a\r\r\nb", {"a", "", "b"}},
                      SplitCase{"\n\nx", {"", "", "x"}}, SplitCase{"", {}}, SplitCase{"\r\n", {""}},
                      SplitCase{"a\n\rb", {"a", "", "b"}}));

TEST(Files, BytesRoundTripUnchanged) {
    kx::test::TempDir dir;
    std::string bytes;
    for (int c = 0; c < 256; ++c)
        if (c != '\r' && c != '\n') bytes.push_back(static_cast<char>(c));
    std::string path = dir.file("latin.txt");
    kx::files::WriteLines(path, {bytes, "\xE9t\xE9"}, LineEnd::CrLf);
    EXPECT_EQ(kx::test::ReadBytes(path), bytes + "\r\n\xE9t\xE9\r\n");
    auto lines = kx::files::ReadLines(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], bytes);
    EXPECT_EQ(lines[0].size(), 254u);  // one byte per character: columns stay columns
}

TEST(Files, WritesTheChosenLineEnd) {
    kx::test::TempDir dir;
    std::string path = dir.file("ends.txt");
    kx::files::WriteLines(path, {"a", "b"}, LineEnd::Lf);
    EXPECT_EQ(kx::test::ReadBytes(path), "a\nb\n");
    kx::files::WriteLines(path, {"a", "b"}, LineEnd::Cr);
    EXPECT_EQ(kx::test::ReadBytes(path), "a\rb\r");
}

TEST(Files, ReplaceKeepsPermissionsAndLeavesNoTemporaryFile) {
    kx::test::TempDir dir;
    std::string path = dir.write("keep.txt", "old");
    ::chmod(path.c_str(), 0640);
    kx::files::WriteAll(path, "new content");
    EXPECT_EQ(kx::test::ReadBytes(path), "new content");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(Files, ReadOnlyMeansOwnerWriteBitAbsentAndRefusesReplaceAndDelete) {
    kx::test::TempDir dir;
    std::string path = dir.write("ro.txt", "precious");
    EXPECT_FALSE(kx::files::IsReadOnly(path));
    ::chmod(path.c_str(), 0444);
    EXPECT_TRUE(kx::files::IsReadOnly(path));
    EXPECT_EQ(kindOf([&] { kx::files::WriteAll(path, "lost"); }), kx::ErrorKind::PermissionDenied);
    EXPECT_EQ(kindOf([&] { kx::files::Remove(path); }), kx::ErrorKind::PermissionDenied);
    EXPECT_EQ(kx::test::ReadBytes(path), "precious");
    kx::files::SetReadOnly(path, false);
    EXPECT_FALSE(kx::files::IsReadOnly(path));
    kx::files::Remove(path);
    EXPECT_FALSE(kx::files::Exists(path));
}

TEST(Files, MissingFilesAndFoldersAreTold) {
    kx::test::TempDir dir;
    EXPECT_EQ(kindOf([&] { kx::files::ReadAll(dir.file("none.txt")); }), kx::ErrorKind::FileNotFound);
    EXPECT_EQ(kindOf([&] { kx::files::ReadAll(dir.file("no/such.txt")); }), kx::ErrorKind::PathNotFound);
    EXPECT_EQ(kindOf([&] { kx::files::WriteAll(dir.file("no/such.txt"), "x"); }), kx::ErrorKind::PathNotFound);
    EXPECT_EQ(kindOf([&] { kx::files::Remove(dir.file("none.txt")); }), kx::ErrorKind::FileNotFound);
    EXPECT_FALSE(kx::files::IsReadOnly(dir.file("none.txt")));
}

TEST(TextReader, ReadingPastTheLastLineFails) {
    kx::test::TempDir dir;
    kx::files::TextReader r(dir.write("two.txt", "one\r\ntwo"));
    EXPECT_EQ(r.ReadLine(), "one");
    EXPECT_EQ(r.NextLineNumber(), 2u);
    EXPECT_EQ(r.ReadLine(), "two");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(kindOf([&] { r.ReadLine(); }), kx::ErrorKind::InputPastEndOfFile);
}

}  // namespace
