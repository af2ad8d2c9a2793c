// Numbered error reports, on the console and in the solver file.
#include <string>
#include <string_view>

#include "fixed_format.h"
#include "solver.h"

namespace kx {

namespace {

// The console shows the path in a field of 180 characters after " FILE: ".
constexpr int kConsolePathWidth = 173;

// A message text, cut or padded to `width` characters (0: as it is).
struct Message {
  const char* text;
  int width;
};

// Message texts by code; the system's own wording, typos included.
Message MessageOf(int code) {
  switch (code) {
    case 1: return {" Temperature outside of the allowable range ", 44};
    case 2: return {" Overflow in forward rate constant, reaction ", 45};
    case 3: return {" Underflow in equilibrium constant, reaction ", 45};
    case 4: return {" Overflow in equilibrium constant, reaction ", 45};
    case 5: return {" Overflow in low pressure rate constant, reaction ", 49};
    case 6: return {" Overflow in Troe or SRI function, reaction ", 44};
    case 8: return {" In the Troe function, Fc value is negative or equal to zero, reaction ", 71};
    case 9: return {" Mean specific heat capacity is equal to zero.", 46};
    case 10: return {" Larger maximal number of computed steps is needed, NMax=", 57};
    case 11: return {" Step size becomes too small, H= ", 0};
    case 12: return {" Matrix is repeatedly syngular.", 0};
    case 13: return {" The maximal number of species is ", 34};
    case 14: return {" The maximal number of reactions is ", 36};
    case 15: return {" Integrator refused its input, see the console.", 0};
    default: return {nullptr, 0};
  }
}

void PutText(std::string& line, std::string_view text, int width) {
  const std::size_t at = line.size();
  const int w = width == 0 ? static_cast<int>(text.size()) : width;
  line.resize(at + static_cast<std::size_t>(w));
  fmt::PutA(line.data() + at, text, w);
}

void PutInt(std::string& line, long long value, int width) {
  char buffer[32];
  line.append(buffer, fmt::PutI(buffer, value, width));
}

void PutReal(std::string& line, double value, int width, int decimals) {
  char buffer[48];
  line.append(buffer, fmt::PutE(buffer, value, width, decimals));
}

std::string HeaderLine(int code, double time, double temp) {
  std::string line = " Kinovex error ";
  PutInt(line, code, 2);
  if (code < 10) {
    line += ". Time=";
    PutReal(line, time, 13, 7);
    line += " Temperature=";
    PutReal(line, temp, 10, 4);
  }
  return line;
}

// The message line, or false for a code without one.
bool MessageLine(int code, double time, int ival1, int ival2, std::string& line) {
  const Message message = MessageOf(code);
  if (!message.text) return false;
  const SolverCommonBlock& c = SolverCommon;
  PutText(line, message.text, message.width);
  switch (code) {
    case 1:
      PutReal(line, c.TMIN, 10, 4);
      line += " - ";
      PutReal(line, c.TMAX, 10, 4);
      break;
    case 9:
    case 12:
    case 15:
      break;
    case 10:
      PutInt(line, ival2, 5);
      break;
    case 11:
      PutReal(line, time, 13, 7);
      break;
    case 13:
    case 14:
      PutInt(line, ival1, 4);
      PutText(line, ". Your reaction mechanism comtains ", 34);
      PutInt(line, ival2, 4);
      break;
    default:
      PutInt(line, ival1, 4);
      break;
  }
  return true;
}

// The path is UTF-8: cut and padded to `width` characters, never inside one.
std::string PathField(std::string_view path, int width) {
  std::string field;
  int characters = 0;
  for (std::size_t at = 0; at < path.size() && characters < width; ++characters) {
    std::size_t length = 1;
    while (at + length < path.size() && (static_cast<unsigned char>(path[at + length]) & 0xC0) == 0x80) ++length;
    field.append(path.substr(at, length));
    at += length;
  }
  field.append(static_cast<std::size_t>(width - characters), ' ');
  return field;
}

void Console(const std::string& text) {
  std::FILE* console = SolverCommon.console;
  std::fwrite(text.data(), 1, text.size(), console);
  std::fputc('\n', console);
}

void File(const std::string& text) {
  std::FILE* file = SolverCommon.solverFile;
  if (!file) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fputs("\r\n", file);
}

}  // namespace

void SolverReportError(int CODE, double TIME, double TEMP, int IVAL1, int IVAL2, int FATAL) {
  SolverCommonBlock& c = SolverCommon;
  Console("");
  const std::string path = " FILE: " + PathField(c.SOLVERPATH, kConsolePathWidth);
  Console(path);
  File("");
  File(" Error");
  const std::string header = HeaderLine(CODE, TIME, TEMP);
  Console(header);
  File(header);
  std::string message;
  if (MessageLine(CODE, TIME, IVAL1, IVAL2, message)) {
    Console(message);
    File(message);
  }
  Console("");
  std::fflush(c.console);
  if (FATAL == 1) {
    SolverCloseFile();
    throw SolverStop{(CODE >= 10 && CODE <= 12) || CODE == 15 ? kExitIntegratorError : kExitModelError};
  }
}

}  // namespace kx
