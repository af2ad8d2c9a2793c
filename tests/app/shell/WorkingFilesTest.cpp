// The working files of running copies of the desktop program: two processes
// sharing one AssistFiles folder each keep their own, one's exit leaves the
// other's, and a start removes what a copy that no longer runs left, never
// what a running copy holds.
#include "WorkingFiles.h"

#include "Files.h"
#include "SharedState.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kx {
namespace {

namespace fs = std::filesystem;

// What the program keeps in its working folder.
const std::vector<std::string> kWorkingFiles = {"KINA02.TMP", "KINA03.TMP", "CHEM01.TMP", "TmpPlot.txt",
                                                "SolverFilePath.txt"};

struct ProgramFolder {
    test::TempDir dir;
    ProgramFolder() {
        fs::create_directories(dir.file("AssistFiles/HelpFiles"));
        SetFolders(Shared(), dir.path());
        options = dir.write("AssistFiles/OPTIONS.txt", "options of every copy\r\n");
        settings = dir.write("AssistFiles/SolverData.txt", "settings of every copy\r\n");
    }
    ~ProgramFolder() { RemoveWorkingFolder(); }
    std::string assist() const { return Shared().AssistFolder; }
    // The working folders in AssistFiles, and the files beside them.
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(assist())) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string options, settings;
};

// Runs `copy` in a process of its own (a second running copy of the
// program) and returns its exit status; 0 when all went as it expected.
template <class Copy>
int inAnotherProcess(Copy copy) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(copy());
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

void writeWorkingFiles(const std::string& who) {
    for (const std::string& name : kWorkingFiles) files::WriteAll(WorkingFile(name), who + " " + name);
}

TEST(WorkingFiles, EachRunningCopyKeepsItsOwnAndOnesExitLeavesTheOthers) {
    ProgramFolder program;
    writeWorkingFiles("first");
    const std::string mine = WorkingFolder();
    EXPECT_EQ(mine.rfind(program.assist() + ".kxcopy." + std::to_string(::getpid()) + ".", 0), 0u) << mine;

    // The second copy starts, works with files of the same names, and ends.
    EXPECT_EQ(inAnotherProcess([&] {
                  const std::string folder = WorkingFolder();
                  if (folder == mine) return 1;
                  writeWorkingFiles("second");
                  for (const std::string& name : kWorkingFiles)
                      if (files::ReadAll(mine + name) != "first " + name) return 2;
                  RemoveWorkingFolder();
                  return fs::exists(folder) ? 3 : 0;
              }),
              0);

    for (const std::string& name : kWorkingFiles) EXPECT_EQ(files::ReadAll(WorkingFile(name)), "first " + name);
    EXPECT_EQ(WorkingFolder(), mine);
    EXPECT_EQ(test::ReadBytes(program.options), "options of every copy\r\n");
    EXPECT_EQ(test::ReadBytes(program.settings), "settings of every copy\r\n");
    // Nothing of the second copy is left.
    const std::string name = fs::path(mine.substr(0, mine.size() - 1)).filename().string();
    EXPECT_EQ(program.entries(), (std::vector<std::string>{name, name + ".lock", "HelpFiles", "OPTIONS.txt", "SolverData.txt"}));

    // This copy's exit takes its own folder and nothing else.
    RemoveWorkingFolder();
    EXPECT_EQ(program.entries(), (std::vector<std::string>{"HelpFiles", "OPTIONS.txt", "SolverData.txt"}));
}

TEST(WorkingFiles, AStartRemovesWhatACopyThatNoLongerRunsLeftNeverARunningCopys) {
    ProgramFolder program;
    int ready[2], hold[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(hold), 0);
    // A copy that runs on until it is killed.
    const pid_t running = ::fork();
    if (running == 0) {
        writeWorkingFiles("running");
        const std::string folder = WorkingFolder();
        (void)!::write(ready[1], folder.data(), folder.size());
        char c;
        (void)!::read(hold[0], &c, 1);
        ::_exit(0);
    }
    char buffer[4096] = {};
    ASSERT_GT(::read(ready[0], buffer, sizeof buffer - 1), 0);
    const std::string runningFolder = buffer;
    // A copy that ended without its exit (as a crash or a power cut ends it).
    std::string crashedFolder;
    const pid_t crashed = ::fork();
    if (crashed == 0) {
        writeWorkingFiles("crashed");
        const std::string folder = WorkingFolder();
        (void)!::write(ready[1], folder.data(), folder.size());
        ::_exit(0);
    }
    ::waitpid(crashed, nullptr, 0);
    std::fill(std::begin(buffer), std::end(buffer), '\0');
    ASSERT_GT(::read(ready[0], buffer, sizeof buffer - 1), 0);
    crashedFolder = buffer;
    // A folder whose mark went (a start that stopped before its folder), and
    // names that are no working folder's.
    const std::string unmarked = program.assist() + ".kxcopy.1.0123abcd";
    fs::create_directories(unmarked + "/inner");
    const std::string foreign = program.dir.write("AssistFiles/.kxcopy.notes/KINA02.TMP", "kept");
    const std::string foreignMark = program.dir.write("AssistFiles/.kxcopy.x.lock", "kept");

    // This copy starts.
    writeWorkingFiles("starting");
    EXPECT_FALSE(fs::exists(crashedFolder));
    EXPECT_FALSE(fs::exists(crashedFolder.substr(0, crashedFolder.size() - 1) + ".lock"));
    EXPECT_FALSE(fs::exists(unmarked));
    EXPECT_TRUE(fs::exists(foreign));
    EXPECT_TRUE(fs::exists(foreignMark));
    for (const std::string& name : kWorkingFiles) EXPECT_EQ(files::ReadAll(runningFolder + name), "running " + name);
    EXPECT_EQ(RemoveAbandonedWorkingFolders(program.assist()), 0);
    EXPECT_TRUE(fs::exists(runningFolder + "KINA02.TMP"));

    // Killed at once, the running copy leaves its folder to the next start.
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
    EXPECT_TRUE(fs::exists(runningFolder));
    EXPECT_EQ(RemoveAbandonedWorkingFolders(program.assist()), 1);
    EXPECT_FALSE(fs::exists(runningFolder));
    for (const std::string& name : kWorkingFiles) EXPECT_EQ(files::ReadAll(WorkingFile(name)), "starting " + name);
    ::close(ready[0]);
    ::close(ready[1]);
    ::close(hold[0]);
    ::close(hold[1]);
}

// A working folder removed from under the program is made again when next
// needed; another AssistFolder (another program folder) has one of its own.
TEST(WorkingFiles, AFolderGoneIsMadeAgain) {
    ProgramFolder program;
    const std::string first = WorkingFolder();
    fs::remove_all(first);
    files::WriteAll(WorkingFile("KINA03.TMP"), "x");
    EXPECT_TRUE(fs::exists(WorkingFolder() + "KINA03.TMP"));

    ProgramFolder other;
    EXPECT_EQ(WorkingFolder().rfind(other.assist(), 0), 0u);
}

// Where no working folder can be made, the error names the folder.
TEST(WorkingFiles, AFolderThatCannotBeMadeIsAnError) {
    test::TempDir dir;
    SetFolders(Shared(), dir.file("missing"));
    try {
        WorkingFolder();
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(dir.file("missing") + "/AssistFiles/"), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace kx
