// What writers of a file leave beside it when they stop on the way, and how
// the next writer deals with it: helpers no live process holds are removed,
// a live writer's are kept, and a write in place cut short by a kill leaves
// the whole old content as an interrupted save that is named and put back.
#include "file_replacement.h"
#include "owned_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempDir.h"

namespace {

namespace fs = std::filesystem;
using kx::test::ReadBytes;
using kx::test::TempDir;

std::set<std::string> NamesIn(const TempDir& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.insert(entry.path().filename());
  return names;
}

// Writes `bytes` into the file as the desktop and the solver do; the
// system's reason on failure ("" when written), KeptCopy() in `kept`.
int Write(const std::string& path, const std::string& bytes, std::string* kept = nullptr) {
  kx::FileReplacement replacement;
  int err = 0;
  std::FILE* f = replacement.Begin(path, kx::kNewContentTag, err);
  if (kept) *kept = replacement.KeptCopy();
  if (!f) return err;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  replacement.Commit(err);
  if (kept) *kept = replacement.KeptCopy();
  return err;
}

// Contents large enough that half of one is many blocks.
std::string Content(char fill, std::size_t size) {
  std::string text;
  while (text.size() < size) text += std::string(79, fill) + "\n";
  text.resize(size);
  return text;
}

// A child process that writes `bytes` into the file and is killed at
// `moment` of the write in place, as kill -9 would do it. True when it died
// so.
bool WriteKilledAt(kx::ReplaceMoment moment, const std::string& path, const std::string& bytes) {
  const pid_t child = ::fork();
  if (child == 0) {
    kx::SimulatedInterruption stop(moment, [] { ::raise(SIGKILL); });
    Write(path, bytes);
    ::_exit(0);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

struct LeftCase {
  const char* what;
  const char* name;     // beside "notes.txt"
  const char* content;  // "" for the file's own bytes
  bool held;            // by a live process
  bool removed;
};

}  // namespace

// The next write removes what stopped writers left, of every kind; a live
// writer's helper, another file's, a name of no helper, and a copy of old
// content that the file does not hold stay.
TEST(Helpers, WhatStoppedWritersLeftGoesAtTheNextWriteAndALiveWritersStays) {
  const LeftCase cases[] = {
      {"a desktop save's new content", ".notes.txt.kxtmp.12345678", "new words", false, true},
      {"a solver run's new version", ".notes.txt.kxrun.9abcdef0", "results", false, true},
      {"a copy of old content the file holds whole", ".notes.txt.kxold.00c0ffee", "", false, true},
      {"a live desktop save's new content", ".notes.txt.kxtmp.0000abcd", "being written", true, false},
      {"a live run's new version", ".notes.txt.kxrun.0000abce", "being written", true, false},
      {"a live write in place's copy", ".notes.txt.kxold.0000abcf", "old words, elsewhere", true, false},
      {"an interrupted save", ".notes.txt.kxold.0badf00d", "the whole old words\n", false, false},
      {"another file's helper", ".other.txt.kxtmp.12345678", "x", false, false},
      {"seven digits", ".notes.txt.kxtmp.1234567", "x", false, false},
      {"no hexadecimal digit", ".notes.txt.kxtmp.1234567g", "x", false, false},
  };
  for (const bool throughWrite : {false, true}) {
    TempDir dir;
    const std::string path = dir.write("notes.txt", "words\n");
    std::vector<std::unique_ptr<kx::OwnedFile>> live;
    for (const LeftCase& c : cases) {
      const std::string content = *c.content ? c.content : "words\n";
      if (!c.held) {
        dir.write(c.name, content);
        continue;
      }
      live.push_back(std::make_unique<kx::OwnedFile>());
      int err = 0;
      std::FILE* f = live.back()->Create(dir.file(c.name), err);
      ASSERT_NE(f, nullptr) << c.what << ": " << err;
      std::fputs(content.c_str(), f);
      std::fclose(f);  // still held after closing
    }
    if (throughWrite) {
      // Refused for the interrupted save, after the others went.
      std::string kept;
      EXPECT_EQ(Write(path, "more words\n", &kept), EBUSY);
      EXPECT_EQ(kept, dir.file(".notes.txt.kxold.0badf00d"));
      EXPECT_EQ(ReadBytes(path), "words\n");
    } else {
      EXPECT_EQ(kx::RemoveAbandonedHelpers(path), 3);
    }
    for (const LeftCase& c : cases)
      EXPECT_EQ(fs::exists(dir.file(c.name)), !c.removed) << c.what << (throughWrite ? ", by a write" : "");
    EXPECT_EQ(kx::RemoveAbandonedHelpers(path), 0);
    // Once its writer has ended, what it left goes too.
    live.clear();
    EXPECT_EQ(kx::RemoveAbandonedHelpers(path), 2);
    EXPECT_EQ(kx::InterruptedSaves(path),
              (std::vector<std::string>{dir.file(".notes.txt.kxold.0000abcf"), dir.file(".notes.txt.kxold.0badf00d")}));
  }
}

// Killed while it wrote a file with two names in place: both names hold
// part of each content; the copy of the old content is whole, named as an
// interrupted save once its writer is dead (not while it lives), stops the
// next write, and is put back into every name.
TEST(InterruptedSave, AKillHalfwayThroughAWriteInPlaceLeavesTheOldContentToPutBack) {
  TempDir dir;
  const std::string oldContent = Content('o', 300000), newContent = Content('n', 200000);
  const std::string path = dir.write("data.txt", oldContent);
  const std::string other = dir.file("other name.txt");
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

  ASSERT_TRUE(WriteKilledAt(kx::ReplaceMoment::InPlaceHalfWritten, path, newContent));
  const std::string half = ReadBytes(path);
  EXPECT_EQ(half, newContent.substr(0, 100000) + oldContent.substr(100000));
  EXPECT_EQ(ReadBytes(other), half);

  const std::vector<std::string> copies = kx::InterruptedSaves(path);
  ASSERT_EQ(copies.size(), 1u);
  const std::string copy = copies[0];
  EXPECT_EQ(fs::path(copy).filename().string().rfind(".data.txt.kxold.", 0), 0u) << copy;
  EXPECT_EQ(ReadBytes(copy), oldContent);
  struct stat st {};
  ASSERT_EQ(::stat(copy.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(NamesIn(dir).size(), 4u) << "the killed writer's new content and the copy";

  std::string kept;
  EXPECT_EQ(Write(path, newContent, &kept), EBUSY);
  EXPECT_EQ(kept, copy);
  EXPECT_EQ(ReadBytes(path), half) << "a refused write leaves the file as it is";
  EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"data.txt", "other name.txt", fs::path(copy).filename()}))
      << "the killed writer's new content goes; the copy stays";

  int err = 0;
  ASSERT_TRUE(kx::RestoreInterruptedSave(path, copy, err)) << err;
  EXPECT_EQ(ReadBytes(path), oldContent);
  EXPECT_EQ(ReadBytes(other), oldContent);
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_nlink, 2u);
  EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"data.txt", "other name.txt"}));
  EXPECT_TRUE(kx::InterruptedSaves(path).empty());
  EXPECT_EQ(Write(path, newContent), 0);
  EXPECT_EQ(ReadBytes(other), newContent);
}

// A writer that is stopped while it is still alive is no interrupted save:
// its copy is neither named nor put back until it has died.
TEST(InterruptedSave, ALiveWritersCopyIsNoInterruptedSave) {
  TempDir dir;
  const std::string oldContent = Content('o', 100000), newContent = Content('n', 100000);
  const std::string path = dir.write("data.txt", oldContent);
  ASSERT_EQ(::link(path.c_str(), dir.file("b.txt").c_str()), 0);
  static int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    kx::SimulatedInterruption wait(kx::ReplaceMoment::InPlaceHalfWritten, [] {
      (void)!::write(ready[1], "x", 1);
      for (;;) ::pause();
    });
    Write(path, newContent);
    ::_exit(0);
  }
  ASSERT_GT(child, 0);
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  std::string copy;
  for (const auto& entry : fs::directory_iterator(dir.path()))
    if (entry.path().filename().string().rfind(".data.txt.kxold.", 0) == 0) copy = entry.path();
  ASSERT_NE(copy, "");
  EXPECT_TRUE(kx::InterruptedSaves(path).empty());
  EXPECT_EQ(kx::RemoveAbandonedHelpers(path), 0);
  int err = 0;
  EXPECT_FALSE(kx::RestoreInterruptedSave(path, copy, err));
  EXPECT_EQ(err, EBUSY);

  ::kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(kx::InterruptedSaves(path), std::vector<std::string>{copy});
  ::close(ready[0]);
  ::close(ready[1]);
}

// Killed while it copied the old content: the file is as it was, and the
// half copy, which never took the name of a whole one, is no interrupted
// save; the next write removes it.
TEST(InterruptedSave, AKillWhileTheOldContentIsCopiedLeavesTheFileWhole) {
  TempDir dir;
  const std::string oldContent = Content('o', 300000);
  const std::string path = dir.write("data.txt", oldContent);
  ASSERT_EQ(::link(path.c_str(), dir.file("b.txt").c_str()), 0);
  ASSERT_TRUE(WriteKilledAt(kx::ReplaceMoment::CopyHalfWritten, path, "new"));
  EXPECT_EQ(ReadBytes(path), oldContent);
  EXPECT_TRUE(kx::InterruptedSaves(path).empty());
  EXPECT_EQ(NamesIn(dir).size(), 4u) << "the new content and the half copy";
  EXPECT_EQ(Write(path, "new\n"), 0);
  EXPECT_EQ(ReadBytes(dir.file("b.txt")), "new\n");
  EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"data.txt", "b.txt"}));
}

// Killed once the new content was whole in the file, before the copy of
// the old went (while the file was put on disk, say): the save did end, so
// its copy is no interrupted save, and the next write removes it.
TEST(InterruptedSave, AKillAfterTheNewContentIsWholeLeavesNoInterruptedSave) {
  TempDir dir;
  const std::string oldContent = Content('o', 300000), newContent = Content('n', 200000);
  const std::string path = dir.write("data.txt", oldContent);
  ASSERT_EQ(::link(path.c_str(), dir.file("b.txt").c_str()), 0);
  ASSERT_TRUE(WriteKilledAt(kx::ReplaceMoment::InPlaceWritten, path, newContent));
  EXPECT_EQ(ReadBytes(dir.file("b.txt")), newContent);
  EXPECT_EQ(NamesIn(dir).size(), 4u) << "the new content and the copy of the old";
  EXPECT_TRUE(kx::InterruptedSaves(path).empty());
  EXPECT_EQ(kx::RemoveAbandonedHelpers(path), 2);
  EXPECT_EQ(NamesIn(dir), (std::set<std::string>{"data.txt", "b.txt"}));
}

// A file removed since its save was cut short is made again from the copy;
// what the stopped writer left besides goes with it.
TEST(InterruptedSave, AFileGoneSinceIsMadeAgainFromTheCopy) {
  TempDir dir;
  const std::string copy = dir.write(".data.txt.kxold.0badf00d", "the whole old words\n");
  dir.write(".data.txt.kxtmp.0badf00e", "the new words, whole");
  ASSERT_EQ(::chmod(copy.c_str(), 0604), 0);
  const std::string path = dir.file("data.txt");
  EXPECT_EQ(kx::InterruptedSaves(path), std::vector<std::string>{copy});
  int err = 0;
  ASSERT_TRUE(kx::RestoreInterruptedSave(path, copy, err)) << err;
  EXPECT_EQ(ReadBytes(path), "the whole old words\n");
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0604));
  EXPECT_EQ(NamesIn(dir), std::set<std::string>{"data.txt"});
  EXPECT_FALSE(kx::RestoreInterruptedSave(path, copy, err));
  EXPECT_EQ(err, ENOENT);
}
