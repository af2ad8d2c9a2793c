// Test support: hand-made solver files, running the built solver and
// reading its results back (written independently of the solver's own
// writer); temporary folders and file bytes are the shared ones.
#pragma once

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "TempDir.h"
#include "solver_file_recipe.h"

namespace kxtest {

using kx::test::ReadBytes;
using kx::test::TempDir;

// All that was written to a temporary file so far.
inline std::string ReadAll(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string s;
  char b[4096];
  std::size_t n;
  while ((n = std::fread(b, 1, sizeof b, f)) > 0) s.append(b, n);
  return s;
}

// Splits on LF, dropping one CR before it; a trailing line break ends the last line.
inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t lf = bytes.find('\n', start);
    std::size_t end = lf == std::string::npos ? bytes.size() : lf;
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    if (lf == std::string::npos) break;
    start = lf + 1;
  }
  return lines;
}

// Line number (from 1) of the first line equal to `text`, 0 when none.
inline int FindLine(const std::vector<std::string>& lines, const std::string& text) {
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == text) return static_cast<int>(i) + 1;
  return 0;
}

struct ResultsRecord {
  long step = -1;  // -1 when the step field holds asterisks
  double time = 0, temperature = 0;
  std::vector<double> y;
};

inline double ParseField(const std::string& line, std::size_t column, std::size_t width = 16) {
  std::string f = line.substr(column - 1, width);
  std::size_t a = f.find_first_not_of(' ');
  double v = 0;
  std::from_chars(f.data() + a, f.data() + f.size(), v);
  return v;
}

// The records that follow the heading of a results block.
inline std::vector<ResultsRecord> ReadRecords(const std::vector<std::string>& lines, int nspec) {
  std::vector<ResultsRecord> records;
  int title = FindLine(lines, " !$Results  Mass Fractions");
  if (title == 0) return records;
  const int headingLines = (nspec + 49) / 50;
  std::size_t i = static_cast<std::size_t>(title + headingLines);
  while (i < lines.size()) {
    const std::string& first = lines[i];
    if (first.size() < 7 || first[0] != ' ' || first.substr(1, 5).find_first_not_of(' ') == std::string::npos)
      break;
    ResultsRecord r;
    std::string step = first.substr(1, 5);
    if (step == "*****") r.step = -1;
    else r.step = std::stol(step);
    r.time = ParseField(first, 8);
    r.temperature = ParseField(first, 25);
    for (int k = 0; k < nspec; ++k) {
      const std::string& line = lines[i + static_cast<std::size_t>(k / 50)];
      r.y.push_back(ParseField(line, static_cast<std::size_t>(42 + 17 * (k % 50))));
    }
    records.push_back(r);
    i += static_cast<std::size_t>(headingLines);
  }
  return records;
}

struct RunResult {
  int status = -1;  // the exit status; -1 when a signal ended the process
  int signal = 0;   // the signal that ended it
  std::string console;
  std::string errors;
};

// Starts the built solver in `dir` on `solverFile` (a path) through
// "SolverFilePath.txt", its output going to "console.txt" and "errors.txt"
// there; returns its process id (-1 when it could not be started). With
// `fileSizeLimit` the process may write files of at most that many bytes,
// the signal of the limit at the system's default (which ends the process)
// as a shell's "ulimit -f" leaves it. With `user` it runs as that user, of
// the group of the same number alone.
inline pid_t StartSolver(const TempDir& dir, const std::string& solverFile,
                         std::optional<rlim_t> fileSizeLimit = std::nullopt,
                         std::optional<uid_t> user = std::nullopt) {
  dir.write("SolverFilePath.txt", solverFile + "\r\n");
  const std::string console = dir.file("console.txt"), errors = dir.file("errors.txt");
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(console.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    if (fileSizeLimit) {
      std::signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{*fileSizeLimit, *fileSizeLimit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    }
    if (user && !kx::test::BecomeUser(*user, *user)) _exit(127);
    execl(KX_SOLVER_EXE, KX_SOLVER_EXE, static_cast<char*>(nullptr));
    _exit(127);
  }
  return pid;
}

// Waits for a solver that StartSolver started and collects what it printed.
inline RunResult WaitForSolver(const TempDir& dir, pid_t pid) {
  int raw = 0;
  RunResult result;
  if (pid < 0 || waitpid(pid, &raw, 0) != pid) return result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.signal = WIFSIGNALED(raw) ? WTERMSIG(raw) : 0;
  result.console = ReadBytes(dir.file("console.txt"));
  result.errors = ReadBytes(dir.file("errors.txt"));
  return result;
}

// Runs the built solver to its end (see StartSolver).
inline RunResult RunSolver(const TempDir& dir, const std::string& solverFile,
                           std::optional<rlim_t> fileSizeLimit = std::nullopt,
                           std::optional<uid_t> user = std::nullopt) {
  return WaitForSolver(dir, StartSolver(dir, solverFile, fileSizeLimit, user));
}

}  // namespace kxtest
