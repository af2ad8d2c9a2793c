// The numbered error reports: exact console and file texts of every code.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "solver.h"
#include "solver_test_support.h"

namespace {

using kxtest::ReadAll;

// Console and solver file as temporary files, restored afterwards.
class ReportFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = kx::SolverCommon.console;
    console_ = std::tmpfile();
    file_ = std::tmpfile();
    kx::SolverCommon.console = console_;
    kx::SolverCommon.solverFile = file_;
    kx::SolverCommon.SOLVERPATH = "/data/runs/h2_air.txt";
    kx::SolverCommon.TMIN = 250.0;
    kx::SolverCommon.TMAX = 5000.0;
  }
  void TearDown() override {
    kx::SolverCommon.console = saved_;
    if (kx::SolverCommon.solverFile) std::fclose(kx::SolverCommon.solverFile);
    kx::SolverCommon.solverFile = nullptr;
    std::fclose(console_);
  }
  std::FILE* saved_ = nullptr;
  std::FILE* console_ = nullptr;
  std::FILE* file_ = nullptr;
};

struct Case {
  int code;
  double time, temp;
  int ival1, ival2;
  const char* header;
  const char* message;  // nullptr: no message line
};

TEST_F(ReportFixture, EveryCodeWritesItsTextsToConsoleAndFile) {
  const Case cases[] = {
      {1, 1.5e-4, 6000.0, 0, 0, " Kinovex error  1. Time=0.1500000E-03 Temperature=0.6000E+04",
       " Temperature outside of the allowable range 0.2500E+03 - 0.5000E+04"},
      {2, 0.0, 1000.0, 7, 0, " Kinovex error  2. Time=0.0000000E+00 Temperature=0.1000E+04",
       " Overflow in forward rate constant, reaction    7"},
      {3, 1e-3, 1500.0, 3000, 0, " Kinovex error  3. Time=0.1000000E-02 Temperature=0.1500E+04",
       " Underflow in equilibrium constant, reaction 3000"},
      {4, 1e-3, 1500.0, 12, 0, " Kinovex error  4. Time=0.1000000E-02 Temperature=0.1500E+04",
       " Overflow in equilibrium constant, reaction    12"},
      {5, 1e-3, 1500.0, 12, 0, " Kinovex error  5. Time=0.1000000E-02 Temperature=0.1500E+04",
       " Overflow in low pressure rate constant, reaction  12"},
      {6, 1e-3, 1500.0, 1, 0, " Kinovex error  6. Time=0.1000000E-02 Temperature=0.1500E+04",
       " Overflow in Troe or SRI function, reaction    1"},
      {7, 1e-3, 1500.0, 1, 0, " Kinovex error  7. Time=0.1000000E-02 Temperature=0.1500E+04", nullptr},
      {8, 1e-3, 1500.0, 25, 0, " Kinovex error  8. Time=0.1000000E-02 Temperature=0.1500E+04",
       " In the Troe function, Fc value is negative or equal to zero, reaction   25"},
      {9, 2.5e-3, 2500.0, 0, 0, " Kinovex error  9. Time=0.2500000E-02 Temperature=0.2500E+04",
       " Mean specific heat capacity is equal to zero."},
      {10, 1.0, 1.0, 0, 50, " Kinovex error 10", " Larger maximal number of computed steps is needed, NMax=   50"},
      {10, 0.0, 0.0, 0, 100000, " Kinovex error 10",
       " Larger maximal number of computed steps is needed, NMax=*****"},
      {11, 1.234e-20, 0.0, 0, 0, " Kinovex error 11", " Step size becomes too small, H= 0.1234000E-19"},
      {12, 0.0, 0.0, 0, 0, " Kinovex error 12", " Matrix is repeatedly syngular."},
      {13, 0.0, 0.0, 300, 350, " Kinovex error 13",
       " The maximal number of species is  300. Your reaction mechanism comtains 350"},
      {14, 0.0, 0.0, 3000, 3500, " Kinovex error 14",
       " The maximal number of reactions is 3000. Your reaction mechanism comtains3500"},
      {15, 0.0, 0.0, 0, 0, " Kinovex error 15", " Integrator refused its input, see the console."},
  };
  const std::string pathLine = " FILE: " + kxtest::Left("/data/runs/h2_air.txt", 173);
  for (const Case& c : cases) {
    std::FILE* console = std::tmpfile();
    std::FILE* file = std::tmpfile();
    kx::SolverCommon.console = console;
    kx::SolverCommon.solverFile = file;
    kx::SolverReportError(c.code, c.time, c.temp, c.ival1, c.ival2, 0);
    EXPECT_EQ(kx::SolverCommon.solverFile, file) << "a report that does not end the run keeps the file open";
    std::string expectedConsole = "\n" + pathLine + "\n" + c.header + "\n";
    std::string expectedFile = std::string("\r\n Error\r\n") + c.header + "\r\n";
    if (c.message) {
      expectedConsole += std::string(c.message) + "\n";
      expectedFile += std::string(c.message) + "\r\n";
    }
    expectedConsole += "\n";
    EXPECT_EQ(ReadAll(console), expectedConsole) << "code " << c.code;
    EXPECT_EQ(ReadAll(file), expectedFile) << "code " << c.code;
    std::fclose(console);
    std::fclose(file);
  }
  kx::SolverCommon.console = console_;
  kx::SolverCommon.solverFile = file_;
}

TEST_F(ReportFixture, LongPathsAreCutOnTheConsoleOnly) {
  const std::string path = "/" + std::string(200, 'Q');
  kx::SolverCommon.SOLVERPATH = path;
  kx::SolverReportError(12, 0, 0, 0, 0, 0);
  const std::string console = ReadAll(console_);
  EXPECT_EQ(console.substr(0, 1 + 180 + 1), "\n FILE: " + path.substr(0, 173) + "\n");
  EXPECT_EQ(ReadAll(file_).find('Q'), std::string::npos);
}

// The path is UTF-8: its field is 173 characters, cut between characters.
TEST_F(ReportFixture, PathsBeyondAsciiFillTheFieldByCharacters) {
  std::string greek = "/";  // 200 characters of two bytes, "\xCE\x94" is Δ
  for (int i = 0; i < 200; ++i) greek += "\xCE\x94";
  std::string cut = "/";
  for (int i = 0; i < 172; ++i) cut += "\xCE\x94";
  const std::string shortPath = "/tmp/\xCE\x94t r\xC3\xA9sultats \xE6\xB8\xAC/h2.txt";  // 26 characters
  const struct {
    std::string path, field;
  } cases[] = {{greek, cut}, {shortPath, shortPath + std::string(173 - 26, ' ')}};
  for (const auto& c : cases) {
    std::FILE* console = std::tmpfile();
    kx::SolverCommon.console = console;
    kx::SolverCommon.SOLVERPATH = c.path;
    kx::SolverReportError(12, 0, 0, 0, 0, 0);
    const std::string shown = ReadAll(console);
    EXPECT_EQ(shown.substr(0, shown.find('\n', 1) + 1), "\n FILE: " + c.field + "\n");
    kx::SolverCommon.console = console_;
    std::fclose(console);
  }
}

TEST_F(ReportFixture, FatalReportsCloseTheFileAndStop) {
  kxtest::TempDir dir;
  const std::string path = dir.file("solver.txt");
  std::fclose(file_);
  struct Stop {
    int code, status;
  };
  for (Stop s : {Stop{2, kx::kExitModelError}, Stop{13, kx::kExitModelError}, Stop{9, kx::kExitModelError}}) {
    kx::SolverCommon.solverFile = std::fopen(path.c_str(), "wb");
    int status = -1;
    try {
      kx::SolverReportError(s.code, 0, 0, 1, 1, 1);
    } catch (const kx::SolverStop& stop) {
      status = stop.status;
    }
    EXPECT_EQ(status, s.status) << s.code;
    EXPECT_EQ(kx::SolverCommon.solverFile, nullptr);
    EXPECT_EQ(kxtest::ReadBytes(path).substr(0, 8), "\r\n Error") << "written and closed";
  }
}

}  // namespace
