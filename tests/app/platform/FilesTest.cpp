#include "Files.h"

#include "ChildProcess.h"
#include "Errors.h"
#include "FileAttributes.h"
#include "TempDir.h"
#include "file_replacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

// A message's text with "{folder}" standing for the folder.
std::string withFolder(std::string text, const std::string& folder) {
    if (const std::size_t at = text.find("{folder}"); at != std::string::npos) text.replace(at, 8, folder);
    return text;
}

// The names in a folder, sorted.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A file with a second name (a hard link) keeps it: a save under either
// name reaches both, and a save that fails on the way, also halfway through
// writing in place, leaves both with the old content and nothing beside.
struct HardLinkCase {
    const char* what;
    std::size_t newLines;  // the old content has 1000
    int err = 0;           // a refusal of the system, simulated; 0: none
    kx::files::WriteStep step = kx::files::WriteStep::WriteBytes;
    const char* message = "";  // before ": " and the path
};

void PrintTo(const HardLinkCase& c, std::ostream* os) { *os << c.what; }

class SaveOfAHardLinkedFile : public ::testing::TestWithParam<HardLinkCase> {};

TEST_P(SaveOfAHardLinkedFile, ReachesEveryNameOrLeavesThemAsTheyWere) {
    const HardLinkCase& c = GetParam();
    kx::test::TempDir dir;
    std::string old, fresh;
    for (int i = 0; i < 1000; ++i) old += "old line " + std::to_string(i) + "\r\n";
    for (std::size_t i = 0; i < c.newLines; ++i) fresh += "new " + std::to_string(i) + "\n";
    const std::string a = dir.write("a.txt", old);
    const std::string b = dir.file("b.txt");
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    std::string message;
    {
        std::optional<kx::files::SimulatedWriteFailure> failure;
        if (c.err != 0) failure.emplace(c.err, c.step);
        try {
            kx::files::WriteAll(b, fresh);
        } catch (const kx::Error& e) {
            message = e.what();
        }
    }
    const std::string expected = c.err == 0 ? fresh : old;
    EXPECT_TRUE(kx::test::ReadBytes(a) == expected) << c.what << ": a.txt";
    EXPECT_TRUE(kx::test::ReadBytes(b) == expected) << c.what << ": b.txt";
    struct stat sa {}, sb {};
    ASSERT_EQ(::stat(a.c_str(), &sa), 0);
    ASSERT_EQ(::stat(b.c_str(), &sb), 0);
    EXPECT_EQ(sa.st_ino, sb.st_ino) << c.what << ": still one file";
    EXPECT_EQ(sa.st_nlink, 2u) << c.what;
    EXPECT_EQ(message, c.err == 0 ? "" : std::string(c.message) + ": " + b) << c.what;
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"a.txt", "b.txt"})) << c.what << ": nothing beside";
}

INSTANTIATE_TEST_SUITE_P(
    Saves, SaveOfAHardLinkedFile,
    ::testing::Values(HardLinkCase{"longer content", 3000}, HardLinkCase{"shorter content", 10},
                      HardLinkCase{"no content", 0},
                      HardLinkCase{"disk full halfway in place", 3000, ENOSPC, kx::files::WriteStep::Replace,
                                   "The disk is full"},
                      HardLinkCase{"quota used up halfway in place, shorter", 10, EDQUOT,
                                   kx::files::WriteStep::Replace, "The disk quota is used up"},
                      HardLinkCase{"disk full before", 3000, ENOSPC, kx::files::WriteStep::WriteBytes,
                                   "The disk is full"},
                      HardLinkCase{"read-only medium", 3000, EROFS, kx::files::WriteStep::MakeTemporary,
                                   "The medium is read-only"}),
    [](const ::testing::TestParamInfo<HardLinkCase>& info) { return "case" + std::to_string(info.index); });

// A new file gets the permission bits the umask allows; a replaced file
// keeps its mode, its group and (for the superuser, who may give it) its
// owner.
TEST(Files, ANewFileFollowsTheUmaskAndAReplacedOneKeepsModeOwnerAndGroup) {
    kx::test::TempDir dir;
    struct Case {
        mode_t umask;
        mode_t mode;
    };
    const mode_t before = ::umask(022);
    for (const Case& c : {Case{077, 0600}, Case{027, 0640}, Case{022, 0644}, Case{002, 0664}, Case{0, 0666}}) {
        ::umask(c.umask);
        const std::string path = dir.file("new-" + std::to_string(c.umask) + ".txt");
        kx::files::WriteAll(path, "made");
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode) << "umask " << std::oct << c.umask;
    }
    ::umask(077);
    const std::string kept = dir.write("kept.txt", "old");
    ASSERT_EQ(::chmod(kept.c_str(), 0604), 0);
    const bool superuser = ::geteuid() == 0;
    if (superuser) {
        ASSERT_EQ(::chown(kept.c_str(), 4321, 8765), 0);
    }
    kx::files::WriteAll(kept, "new");
    ::umask(before);
    struct stat st {};
    ASSERT_EQ(::stat(kept.c_str(), &st), 0);
    EXPECT_EQ(kx::test::ReadBytes(kept), "new");
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    if (superuser) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
    }
}

// A replaced file keeps its access list and its other extended attributes:
// its owning group, which may only read it, gains no write through the
// list's mask (which the file's group bits show).
TEST(Files, AReplacedFileKeepsItsAccessListAndAttributes) {
    kx::test::TempDir dir;
    const std::string path = dir.write("listed.txt", "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    if (!kx::test::GiveAccessListAndNote(path, 1))
        GTEST_SKIP() << "the file system takes no user attributes or access lists";
    const std::map<std::string, std::string> attributes = kx::test::Attributes(path);
    ASSERT_EQ(attributes.size(), 2u);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_EQ(before.st_mode & 07777, 0660u) << "the group bits show the mask";
    kx::files::WriteAll(path, "new content");
    EXPECT_EQ(kx::test::ReadBytes(path), "new content");
    EXPECT_EQ(kx::test::Attributes(path), attributes);
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0660u);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"listed.txt"});
}

// What a save by another user (4321, of the group 4321 alone) does, in a
// child process, as "<check message>|<write message>" ("" for none).
std::string saveAsOtherUser(const std::string& path, const std::string& bytes) {
    kx::test::TempDir out;
    ::chmod(out.path().c_str(), 0777);
    const std::string said = out.file("said.txt");
    const kx::test::ChildEnd end = kx::test::InChild([&] {
        std::string checked, written;
        if (!kx::test::BecomeUser(4321, 4321)) return 2;
        try {
            kx::files::CheckWritable(path);
        } catch (const kx::Error& e) {
            checked = e.what();
        }
        try {
            kx::files::WriteAll(path, bytes);
        } catch (const kx::Error& e) {
            written = e.what();
        }
        std::ofstream(said, std::ios::binary) << checked << "|" << written;
        return 0;
    });
    if (end.status != 0) return "the child ended with " + std::to_string(end.status) + ", signal " +
                                 std::to_string(end.signal);
    return kx::test::ReadBytes(said);
}

// A file a user may write but not replace (another user's file in a folder
// open to all, sticky or not; a group the user is no member of) is written
// in place: it keeps its owner, group and mode, and nothing is left beside
// it. A file the user may not write, and a folder that takes no new files,
// are refused in words that say which, before and when writing.
struct OtherUserCase {
    const char* what;
    mode_t folderMode;   // the folder is the superuser's
    bool exists = true;  // else the save makes the file
    uid_t owner = 1234;
    gid_t group = 1234;
    mode_t mode = 0666;
    const char* refusal = "";  // before ": " and the path; "{folder}" stands for the folder
};

void PrintTo(const OtherUserCase& c, std::ostream* os) { *os << c.what; }

class SaveByAnotherUser : public ::testing::TestWithParam<OtherUserCase> {};

TEST_P(SaveByAnotherUser, WritesInPlaceWhatItMayNotReplaceOrSaysWhy) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can act as another user";
    const OtherUserCase& c = GetParam();
    kx::test::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string folder = dir.file("shared");
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
    const std::string path = folder + "/f.txt";
    struct stat before {};
    if (c.exists) {
        dir.write("shared/f.txt", "old content, longer than the new");
        ASSERT_EQ(::chown(path.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
        ASSERT_EQ(::stat(path.c_str(), &before), 0);
    }
    const std::string said = saveAsOtherUser(path, "new content");
    if (*c.refusal == 0) {
        EXPECT_EQ(said, "|") << c.what;
        EXPECT_EQ(kx::test::ReadBytes(path), "new content") << c.what;
        struct stat after {};
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_EQ(after.st_uid, before.st_uid) << c.what;
        EXPECT_EQ(after.st_gid, before.st_gid) << c.what;
        EXPECT_EQ(after.st_mode, before.st_mode) << c.what;
        EXPECT_EQ(after.st_ino, before.st_ino) << c.what << ": written in place";
    } else {
        const std::string refusal = withFolder(c.refusal, folder);
        EXPECT_EQ(said, refusal + ": " + path + "|" + refusal + ": " + path) << c.what;
        EXPECT_EQ(c.exists ? kx::test::ReadBytes(path) : "(none)",
                  c.exists ? "old content, longer than the new" : "(none)")
            << c.what;
        EXPECT_EQ(std::filesystem::exists(path), c.exists) << c.what;
    }
    const std::vector<std::string> names = c.exists ? std::vector<std::string>{"f.txt"} : std::vector<std::string>{};
    EXPECT_EQ(namesIn(folder), names) << c.what << ": nothing beside";
}

INSTANTIATE_TEST_SUITE_P(
    Saves, SaveByAnotherUser,
    ::testing::Values(OtherUserCase{"another user's file in a sticky folder", 01777},
                      OtherUserCase{"another user's file in a folder open to all", 0777},
                      OtherUserCase{"own file of a group the user is not in", 0777, true, 4321, 5555, 0664},
                      OtherUserCase{"another user's file it may only read", 01777, true, 1234, 1234, 0644,
                                    "Permission denied"},
                      OtherUserCase{"own file in a folder that takes no new files", 0755, true, 4321, 4321, 0644,
                                    "The folder {folder} takes no new files"},
                      OtherUserCase{"a new file in a folder that takes no new files", 0755, false, 0, 0, 0,
                                    "The folder {folder} takes no new files"}),
    [](const ::testing::TestParamInfo<OtherUserCase>& info) { return "case" + std::to_string(info.index); });

// An attribute the user's new file may not have (one of the security
// space, which only the superuser sets) is not dropped: the file is
// written in place and keeps it.
TEST(Files, AnAttributeTheUserCannotGiveIsKeptByWritingInPlace) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can act as another user";
    kx::test::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    const std::string folder = dir.file("own");
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), 4321, 4321), 0);
    const std::string path = dir.write("own/labelled.txt", "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4321), 0);
    if (::setxattr(path.c_str(), "security.kx_label", "label", 5, 0) != 0)
        GTEST_SKIP() << "the file system takes no such attribute";
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    EXPECT_EQ(saveAsOtherUser(path, "new content"), "|");
    EXPECT_EQ(kx::test::ReadBytes(path), "new content");
    EXPECT_EQ(kx::test::Attributes(path), (std::map<std::string, std::string>{{"security.kx_label", "label"}}));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"labelled.txt"});
}

// Under a file-size limit (a shell's "ulimit -f"), with its signal left as
// the system sets it, a save beyond the limit is an ordinary failure that
// says so, once the program has started as it does: the program goes on,
// the file (under every name it has) is as it was, nothing is beside it.
TEST(Files, ASaveBeyondTheFileSizeLimitFailsAndKeepsTheFile) {
    for (const bool linked : {false, true}) {
        kx::test::TempDir dir;
        const std::string path = dir.write("limited.txt", "old");
        if (linked) {
            ASSERT_EQ(::link(path.c_str(), dir.file("other.txt").c_str()), 0);
        }
        const std::string said = dir.file("said.txt");
        const kx::test::ChildEnd end = kx::test::InChild([&] {
            std::signal(SIGXFSZ, SIG_DFL);
            kx::FailWritesPastFileSizeLimit();
            std::string message;
            std::FILE* out = std::fopen(said.c_str(), "wb");
            const rlimit limit{4096, 4096};
            if (!out || ::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
            try {
                kx::files::WriteAll(path, std::string(10000, 'x'));
            } catch (const kx::Error& e) {
                message = e.what();
            }
            std::fputs(message.c_str(), out);
            return std::fclose(out) == 0 ? 0 : 3;
        });
        EXPECT_EQ(end.signal, 0) << "linked " << linked;
        EXPECT_EQ(end.status, 0) << "linked " << linked;
        EXPECT_EQ(kx::test::ReadBytes(said), "The file is larger than this process may write: " + path);
        EXPECT_EQ(kx::test::ReadBytes(path), "old");
        std::filesystem::remove(said);
        const std::vector<std::string> names =
            linked ? std::vector<std::string>{"limited.txt", "other.txt"} : std::vector<std::string>{"limited.txt"};
        EXPECT_EQ(namesIn(dir.path()), names) << "linked " << linked << ": nothing beside";
    }
}

// Any name the folder takes can be written and replaced: the helper's
// name stays within the limit, however long the file's name is (in bytes:
// a UTF-8 name of two-byte characters too). A name beyond the limit is
// refused in the system's words, and nothing is left.
TEST(Files, AnyNameTheFolderTakesCanBeWritten) {
    kx::test::TempDir dir;
    const std::size_t limit = static_cast<std::size_t>(::pathconf(dir.path().c_str(), _PC_NAME_MAX));
    ASSERT_GT(limit, 20u);
    std::vector<std::string> names;
    for (const std::size_t length : {limit - 13, limit - 12, limit - 1, limit})
        names.push_back(std::string(length - 4, 'n') + ".png");
    std::string accents;
    while (accents.size() + 2 + 4 <= limit) accents += "\xC3\xA9";  // é
    names.push_back(accents + ".png");
    names.push_back(accents.substr(2) + "x.png");
    for (const std::string& name : names) {
        const std::string path = dir.file(name);
        for (const char* bytes : {"first", "second"}) {
            try {
                kx::files::WriteAll(path, bytes);
            } catch (const kx::Error& e) {
                ADD_FAILURE() << name.size() << " bytes: " << e.what();
            }
            EXPECT_EQ(kx::test::ReadBytes(path), bytes) << name.size() << " bytes";
        }
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{name}) << name.size() << " bytes";
        std::filesystem::remove(path);
    }
    const std::string tooLong = dir.file(std::string(limit - 3, 'n') + ".png");
    std::string message;
    try {
        kx::files::WriteAll(tooLong, "never");
    } catch (const kx::Error& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "The name is too long: " + tooLong);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{});
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

// A save through a symbolic link: the link stays a link and the file it
// leads to gets the new bytes, written in its own folder with its own
// permissions. Links live in "links/", files in "data/".
struct LinkCase {
    const char* what;
    std::vector<std::pair<const char*, const char*>> links;  // link (in the temp folder), its target as written
    const char* saved;                                         // the path given to WriteAll
    const char* target;                                        // the file that gets the bytes
    bool targetExists = true;
};

void PrintTo(const LinkCase& c, std::ostream* os) { *os << c.what; }

class WriteThroughLinks : public ::testing::TestWithParam<LinkCase> {};

TEST_P(WriteThroughLinks, TheLinkStaysAndItsTargetIsWritten) {
    namespace fs = std::filesystem;
    const LinkCase& c = GetParam();
    kx::test::TempDir dir;
    fs::create_directories(dir.file("links"));
    fs::create_directories(dir.file("data/sub"));
    const std::string target = dir.file(c.target);
    if (c.targetExists) {
        dir.write(c.target, "old");
        ::chmod(target.c_str(), 0640);
    }
    for (const auto& [link, to] : c.links) {
        const std::string written = std::string(to).rfind("@/", 0) == 0 ? dir.file(to + 2) : to;  // "@/" the temp folder
        fs::create_symlink(written, dir.file(link));
    }

    kx::files::WriteAll(dir.file(c.saved), "new\r\n");

    for (const auto& [link, to] : c.links) EXPECT_TRUE(fs::is_symlink(dir.file(link))) << c.what << ": " << link;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target))) << c.what;
    EXPECT_EQ(kx::test::ReadBytes(target), "new\r\n") << c.what;
    EXPECT_EQ(kx::test::ReadBytes(dir.file(c.saved)), "new\r\n") << c.what;
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, c.targetExists ? 0640u : 0644u) << c.what;
    // Nothing else was made: no temporary file beside the link or the target.
    std::size_t entries = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) entries += !fs::is_directory(fs::symlink_status(e.path()));
    EXPECT_EQ(entries, c.links.size() + 1) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Links, WriteThroughLinks,
    ::testing::Values(
        LinkCase{"absolute link", {{"links/a.txt", "@/data/a.txt"}}, "links/a.txt", "data/a.txt"},
        LinkCase{"relative link", {{"links/a.txt", "../data/sub/a.txt"}}, "links/a.txt", "data/sub/a.txt"},
        LinkCase{"link to a link, each relative to its own folder",
                 {{"links/first.txt", "../data/second.txt"}, {"data/second.txt", "sub/a.txt"}},
                 "links/first.txt", "data/sub/a.txt"},
        LinkCase{"relative link through a linked folder",
                 {{"links/dir", "../data/sub"}, {"links/a.txt", "dir/../a.txt"}}, "links/a.txt", "data/a.txt"},
        LinkCase{"dangling link makes its target", {{"links/new.txt", "../data/new.txt"}}, "links/new.txt",
                 "data/new.txt", false}),
    [](const ::testing::TestParamInfo<LinkCase>& info) { return "case" + std::to_string(info.index); });

TEST(Files, LinksThatLeadNowhereAreTold) {
    namespace fs = std::filesystem;
    kx::test::TempDir dir;
    // A loop of links.
    fs::create_symlink("b.txt", dir.file("a.txt"));
    fs::create_symlink("a.txt", dir.file("b.txt"));
    EXPECT_EQ(kindOf([&] { kx::files::WriteAll(dir.file("a.txt"), "x"); }), kx::ErrorKind::FileWriteFailed);
    // A dangling link into a folder that does not exist.
    fs::create_symlink("no/such.txt", dir.file("c.txt"));
    EXPECT_EQ(kindOf([&] { kx::files::WriteAll(dir.file("c.txt"), "x"); }), kx::ErrorKind::PathNotFound);
    // A read-only target is refused through its link and left as it was.
    const std::string target = dir.write("ro.txt", "precious");
    ::chmod(target.c_str(), 0444);
    fs::create_symlink(target, dir.file("d.txt"));
    EXPECT_EQ(kindOf([&] { kx::files::WriteAll(dir.file("d.txt"), "lost"); }), kx::ErrorKind::PermissionDenied);
    EXPECT_EQ(kx::test::ReadBytes(target), "precious");
    for (const char* link : {"a.txt", "b.txt", "c.txt", "d.txt"}) EXPECT_TRUE(fs::is_symlink(dir.file(link))) << link;
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 5u);
}

TEST(Files, MissingFilesAndFoldersAreTold) {
    kx::test::TempDir dir;
    EXPECT_EQ(kindOf([&] { kx::files::ReadAll(dir.file("none.txt")); }), kx::ErrorKind::FileNotFound);
    EXPECT_EQ(kindOf([&] { kx::files::ReadAll(dir.file("no/such.txt")); }), kx::ErrorKind::PathNotFound);
    EXPECT_EQ(kindOf([&] { kx::files::WriteAll(dir.file("no/such.txt"), "x"); }), kx::ErrorKind::PathNotFound);
    EXPECT_EQ(kindOf([&] { kx::files::Remove(dir.file("none.txt")); }), kx::ErrorKind::FileNotFound);
    EXPECT_FALSE(kx::files::IsReadOnly(dir.file("none.txt")));
}

// A window takes a stamp of what it read; before it saves, the file on
// disk is judged against it. "@" in a step's bytes: the file is written
// with those bytes and its old modification time put back.
struct DiskCase {
    const char* what;
    std::function<void(kx::test::TempDir&, const std::string& file)> meanwhile;
    kx::files::DiskState expected;
};

void PrintTo(const DiskCase& c, std::ostream* os) { *os << c.what; }

class DiskChanges : public ::testing::TestWithParam<DiskCase> {};

void setModified(const std::string& path, std::filesystem::file_time_type time) {
    std::filesystem::last_write_time(path, time);
}

TEST_P(DiskChanges, TheFileIsJudgedByItsBytes) {
    namespace fs = std::filesystem;
    const DiskCase& c = GetParam();
    kx::test::TempDir dir;
    const std::string file = dir.write("data/notes.txt", "first words\n");
    setModified(file, fs::file_time_type::clock::now() - std::chrono::hours(1));
    fs::create_symlink("data/notes.txt", dir.file("link.txt"));
    const std::string read = kx::files::ReadAll(dir.file("link.txt"));
    const kx::files::FileStamp stamp = kx::files::StampOf(dir.file("link.txt"), read);
    EXPECT_TRUE(stamp.exists);

    c.meanwhile(dir, file);

    EXPECT_EQ(kx::files::CompareWithDisk(stamp, dir.file("link.txt")), c.expected) << c.what;
    EXPECT_EQ(kx::files::CompareWithDisk(stamp, file), c.expected) << c.what << " (the file itself)";
}

void rewrite(const std::string& path, const std::string& bytes, bool keepTime) {
    const auto before = std::filesystem::last_write_time(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    if (keepTime) setModified(path, before);
}

INSTANTIATE_TEST_SUITE_P(
    Meanwhile, DiskChanges,
    ::testing::Values(
        DiskCase{"nothing happened", [](auto&, auto&) {}, kx::files::DiskState::Unchanged},
        DiskCase{"the same bytes written again", [](auto&, auto& f) { rewrite(f, "first words\n", false); },
                 kx::files::DiskState::Rewritten},
        DiskCase{"other bytes of the same size, the time put back",
                 [](auto&, auto& f) { rewrite(f, "other words\n", true); }, kx::files::DiskState::Changed},
        DiskCase{"more bytes", [](auto&, auto& f) { rewrite(f, "first words\nand more\n", false); },
                 kx::files::DiskState::Changed},
        DiskCase{"deleted", [](auto&, auto& f) { std::filesystem::remove(f); }, kx::files::DiskState::Gone},
        DiskCase{"replaced by renaming another file over it",
                 [](auto& d, auto& f) { std::filesystem::rename(d.write("new.txt", "other words\n"), f); },
                 kx::files::DiskState::Changed},
        DiskCase{"replaced by renaming a copy of the same bytes over it",
                 [](auto& d, auto& f) { std::filesystem::rename(d.write("new.txt", "first words\n"), f); },
                 kx::files::DiskState::Rewritten}),
    [](const ::testing::TestParamInfo<DiskCase>& info) { return "case" + std::to_string(info.index); });

TEST(Files, AStampOfNoFileSeesAFileMadeSince) {
    kx::test::TempDir dir;
    const std::string path = dir.file("later.txt");
    const kx::files::FileStamp none = kx::files::StampOf(path, "");
    EXPECT_FALSE(none.exists);
    EXPECT_EQ(kx::files::CompareWithDisk(none, path), kx::files::DiskState::Unchanged);
    dir.write("later.txt", "");
    EXPECT_EQ(kx::files::CompareWithDisk(none, path), kx::files::DiskState::Changed);
}

TEST(Files, ALinkPointedElsewhereIsAChange) {
    namespace fs = std::filesystem;
    kx::test::TempDir dir;
    dir.write("a.txt", "same size A\n");
    dir.write("b.txt", "same size B\n");
    fs::create_symlink("a.txt", dir.file("link.txt"));
    const kx::files::FileStamp stamp = kx::files::StampOf(dir.file("link.txt"), kx::files::ReadAll(dir.file("link.txt")));
    fs::remove(dir.file("link.txt"));
    fs::create_symlink("b.txt", dir.file("link.txt"));
    EXPECT_EQ(kx::files::CompareWithDisk(stamp, dir.file("link.txt")), kx::files::DiskState::Changed);
}

// Two spellings of a path name one file or two.
struct SameFileCase {
    const char* a;
    const char* b;
    bool same;
};

class SameFileNames : public ::testing::TestWithParam<SameFileCase> {};

TEST_P(SameFileNames, PathsAreComparedByTheFilesTheyName) {
    namespace fs = std::filesystem;
    kx::test::TempDir dir;
    dir.write("data/run.txt", "x");
    dir.write("data/Run.txt", "y");
    dir.write("data/other.txt", "x");
    fs::create_symlink("data/run.txt", dir.file("link.txt"));
    fs::create_symlink("data", dir.file("folder"));
    fs::create_hard_link(dir.file("data/run.txt"), dir.file("hard.txt"));
    fs::create_symlink("data/gone.txt", dir.file("dangling.txt"));
    // "@" stands for the temporary folder; other paths count from it as the
    // working folder.
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    const auto expand = [&](std::string p) { return p.rfind('@', 0) == 0 ? dir.path() + p.substr(1) : p; };
    const bool same = kx::files::SameFile(expand(GetParam().a), expand(GetParam().b));
    const bool back = kx::files::SameFile(expand(GetParam().b), expand(GetParam().a));
    fs::current_path(before);
    EXPECT_EQ(same, GetParam().same) << GetParam().a << " / " << GetParam().b;
    EXPECT_EQ(back, GetParam().same) << GetParam().b << " / " << GetParam().a;
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, SameFileNames,
    ::testing::Values(SameFileCase{"@/data/run.txt", "@/data/run.txt", true},
                      SameFileCase{"@/data/./run.txt", "@/data/run.txt", true},
                      SameFileCase{"@//data//run.txt", "@/data/run.txt", true},
                      SameFileCase{"@/data/../data/run.txt", "@/data/run.txt", true},
                      SameFileCase{"data/run.txt", "@/data/run.txt", true},
                      SameFileCase{"./data/run.txt", "data/run.txt", true},
                      SameFileCase{"@/link.txt", "@/data/run.txt", true},
                      SameFileCase{"@/folder/run.txt", "@/data/run.txt", true},
                      SameFileCase{"@/hard.txt", "@/data/run.txt", true},
                      SameFileCase{"@/data/Run.txt", "@/data/run.txt", false},
                      SameFileCase{"@/data/other.txt", "@/data/run.txt", false},
                      SameFileCase{"@/data/gone.txt", "@/data/run.txt", false},
                      SameFileCase{"@/data/gone.txt", "data//./gone.txt", true},
                      SameFileCase{"@/dangling.txt", "@/folder/gone.txt", true},
                      SameFileCase{"@/data/gone.txt", "@/data/gone2.txt", false},
                      SameFileCase{"", "", false}),
    [](const ::testing::TestParamInfo<SameFileCase>& info) { return "case" + std::to_string(info.index); });


// What a user reads when the system refuses a write for a reason a test
// cannot bring about: the reason in its own words, and the file as it was.
struct RefusalCase {
    const char* what;
    int err;
    kx::files::WriteStep step;
    const char* description;  // what the message says before ": " and the path; "{folder}" for its folder
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }

class WriteRefusedBySystem : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(WriteRefusedBySystem, TellsTheSystemsReasonAndKeepsTheFile) {
    const RefusalCase& c = GetParam();
    kx::test::TempDir dir;
    const std::string path = dir.write("doc.txt", "precious");
    std::string message;
    {
        kx::files::SimulatedWriteFailure failure(c.err, c.step);
        try {
            kx::files::WriteAll(path, "new text");
            ADD_FAILURE() << c.what << ": the write was not refused";
        } catch (const kx::Error& e) {
            message = e.what();
        }
    }
    EXPECT_EQ(message, withFolder(c.description, dir.path()) + ": " + path) << c.what;
    EXPECT_EQ(kx::test::ReadBytes(path), "precious") << c.what;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1)
        << c.what << ": no temporary file is left";
    // Once the medium takes writes again, the same write goes through.
    kx::files::WriteAll(path, "new text");
    EXPECT_EQ(kx::test::ReadBytes(path), "new text") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, WriteRefusedBySystem,
    ::testing::Values(
        RefusalCase{"read-only medium", EROFS, kx::files::WriteStep::MakeTemporary, "The medium is read-only"},
        RefusalCase{"disk full while writing", ENOSPC, kx::files::WriteStep::WriteBytes, "The disk is full"},
        RefusalCase{"quota used up while writing", EDQUOT, kx::files::WriteStep::WriteBytes,
                    "The disk quota is used up"},
        RefusalCase{"quota found on replacing", EDQUOT, kx::files::WriteStep::Replace, "The disk quota is used up"},
        RefusalCase{"no access to the folder", EACCES, kx::files::WriteStep::MakeTemporary,
                    "The folder {folder} takes no new files"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return "case" + std::to_string(info.index); });

// What a killed save left beside the file (its new content, a solver run's
// new version) goes with the next save; what a live one writes stays.
TEST(Files, TheNextSaveRemovesWhatAKilledSaveLeftAndKeepsALiveOnes) {
    kx::test::TempDir dir;
    const std::string path = dir.write("doc.txt", "old text");
    const std::string killed = dir.file(".doc.txt.kxtmp.0dead0ff");
    const pid_t child = ::fork();
    if (child == 0) {
        kx::OwnedFile own;
        int err = 0;
        if (std::FILE* f = own.Create(killed, err)) std::fputs("the killed save's text", f);
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_TRUE(std::filesystem::exists(killed));
    const std::string run = dir.write(".doc.txt.kxrun.12345678", "a killed run's results");
    kx::OwnedFile live;
    int err = 0;
    std::FILE* writing = live.Create(dir.file(".doc.txt.kxtmp.0000abcd"), err);
    ASSERT_NE(writing, nullptr) << err;
    std::fclose(writing);

    kx::files::WriteAll(path, "new text");
    EXPECT_EQ(kx::test::ReadBytes(path), "new text");
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_FALSE(std::filesystem::exists(run));
    EXPECT_TRUE(std::filesystem::exists(dir.file(".doc.txt.kxtmp.0000abcd")));
}

// A save cut short left the whole earlier content in a copy beside the
// file: no write goes over it without a word; the refusal names the copy.
TEST(Files, AFileWhoseSaveWasCutShortIsNotWrittenAndTheCopyIsNamed) {
    kx::test::TempDir dir;
    const std::string path = dir.write("doc.txt", "half new, half old");
    const std::string copy = dir.write(".doc.txt.kxold.0badf00d", "the whole old text");
    const std::string expected = "An earlier save of the file was cut short: " + path +
                                 "; its whole earlier content is kept in " + copy +
                                 ", and the file is not written until that content is put back or the copy is removed";
    for (const bool check : {false, true}) {
        std::string message;
        try {
            if (check)
                kx::files::CheckWritable(path);
            else
                kx::files::WriteAll(path, "new text");
            ADD_FAILURE() << "not refused";
        } catch (const kx::Error& e) {
            EXPECT_EQ(e.kind(), kx::ErrorKind::FileWriteFailed);
            message = e.what();
        }
        EXPECT_EQ(message, expected);
        EXPECT_EQ(kx::test::ReadBytes(path), "half new, half old");
        EXPECT_EQ(kx::test::ReadBytes(copy), "the whole old text");
    }
    int err = 0;
    ASSERT_TRUE(kx::RestoreInterruptedSave(path, copy, err)) << err;
    kx::files::WriteAll(path, "new text");
    EXPECT_EQ(kx::test::ReadBytes(path), "new text");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

// A folder, a pipe or a device is no file to read or write: refused at once,
// never read from (a pipe nobody writes into would wait for ever).
TEST(Files, OnlyOrdinaryFilesAreReadOrWritten) {
    kx::test::TempDir dir;
    std::filesystem::create_directories(dir.file("folder"));
    std::filesystem::create_directory_symlink(dir.file("folder"), dir.file("link"));
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {dir.file("folder"), "It is a folder: " + dir.file("folder")},
        {dir.file("link"), "It is a folder: " + dir.file("link")},
        {fifo, "It is no ordinary file but a device, a pipe or a socket: " + fifo},
        {"/dev/zero", "It is no ordinary file but a device, a pipe or a socket: /dev/zero"},
    };
    for (const Case& c : cases) {
        try {
            kx::files::ReadAll(c.path);
            ADD_FAILURE() << c.path << " was read";
        } catch (const kx::Error& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
    // Nor is one written: a save onto a pipe leaves the pipe a pipe.
    EXPECT_EQ(kindOf([&] { kx::files::WriteAll(fifo, "saved"); }), kx::ErrorKind::FileWriteFailed);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

// The check before a write refuses what the write would refuse, in the
// same words, and changes nothing either way: no file made, none changed,
// no temporary file left.
TEST(Files, TheWriteCheckRefusesAsTheWriteAndChangesNothing) {
    namespace fs = std::filesystem;
    kx::test::TempDir dir;
    fs::create_directories(dir.file("folder"));
    const std::string readOnly = dir.write("read-only.txt", "kept");
    kx::files::SetReadOnly(readOnly, true);
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_symlink("loop.txt", dir.file("loop.txt"));
    const std::string existing = dir.write("existing.txt", "kept");
    struct Case {
        std::string path;
        int err = 0;  // a refusal of the system, simulated
        kx::files::WriteStep step = kx::files::WriteStep::WriteBytes;
        bool refused = true;
    };
    const Case cases[] = {
        {dir.file("missing/r.txt")},
        {dir.file("folder")},
        {dir.file("folder") + "/"},
        {readOnly},
        {fifo},
        {dir.file("loop.txt")},
        {dir.file("new.txt"), EROFS, kx::files::WriteStep::MakeTemporary},
        {existing, ENOSPC, kx::files::WriteStep::WriteBytes},
        {existing, 0, kx::files::WriteStep::WriteBytes, false},
        {dir.file("new.txt"), 0, kx::files::WriteStep::WriteBytes, false},
    };
    auto listing = [&] {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> before = listing();
    for (const Case& c : cases) {
        std::optional<kx::files::SimulatedWriteFailure> failure;
        if (c.err != 0) failure.emplace(c.err, c.step);
        std::string checked, written;
        try {
            kx::files::CheckWritable(c.path);
        } catch (const kx::Error& e) {
            checked = e.what();
        }
        EXPECT_EQ(listing(), before) << c.path;
        EXPECT_EQ(kx::test::ReadBytes(existing), "kept");
        EXPECT_EQ(kx::test::ReadBytes(readOnly), "kept");
        if (!c.refused) {
            EXPECT_EQ(checked, "") << c.path;
            continue;
        }
        try {
            kx::files::WriteAll(c.path, "new");
        } catch (const kx::Error& e) {
            written = e.what();
        }
        EXPECT_NE(checked, "") << c.path;
        EXPECT_EQ(checked, written) << c.path;
    }
    kx::files::SetReadOnly(readOnly, false);
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
