// A stand-in for the console solver in the tests of solver runs. Like the
// solver it takes no arguments, reads the solver file's path from
// "SolverFilePath.txt" in its working folder and writes behind the file's
// END line; the ending it writes is chosen by the environment variable
// KX_STAND_IN_ENDING: completed, error-after-results, error-only, nothing,
// crash (after the results heading), slow (runs until it is ended) or
// slow-writing (the same, having made the hidden file beside the solver
// file in which the solver writes the file's new version). It records its
// arguments and working folder in "StandInCall.txt".
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

void append(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    for (const std::string& l : lines) out << l << "\r\n";
}

const std::vector<std::string> kHeading = {" ", " !$Results  Mass Fractions",
                                           " StepN Time             T                H2               O2              "
                                           " N2"};
// Record k (from 1): step k at k x 1e-6 s.
std::string Record(int k) {
    return "     " + std::to_string(k) + "  0." + std::to_string(k) +
           "0000000E-005  0.10000000E+004  0.50000000E+000  0.25000000E+000  0.25000000E+000";
}
const std::vector<std::string> kStatistics = {" ", " STATISTICS", "       NUMBER OF RECORDS =       4"};

}  // namespace

int main(int argc, char**) {
    {
        std::ofstream call("StandInCall.txt", std::ios::binary);
        call << "arguments=" << argc - 1 << "\n" << "folder=" << std::filesystem::current_path().string() << "\n";
    }
    std::ifstream pathFile("SolverFilePath.txt", std::ios::binary);
    std::string path;
    std::getline(pathFile, path);
    while (!path.empty() && (path.back() == '\r' || path.back() == ' ')) path.pop_back();

    const char* chosen = std::getenv("KX_STAND_IN_ENDING");
    const std::string ending = chosen ? chosen : "completed";
    std::cout << " Time= 0.000000E+00  Step=        0" << std::endl;

    std::vector<std::string> results = kHeading;
    for (int k = 1; k <= 4; ++k) results.push_back(Record(k));
    if (ending == "completed") {
        append(path, results);
        append(path, {" !$End"});
        append(path, kStatistics);
    } else if (ending == "error-after-results") {
        append(path, results);
        append(path, {" ", " Error", "   Step size too small, T = 0.1E-03"});
        append(path, kStatistics);
    } else if (ending == "error-only") {
        append(path, {" ", " Error", "   Too many species: 301 (at most 300)"});
    } else if (ending == "nothing") {
        std::cerr << " cannot read the solver file" << std::endl;
        return 1;
    } else if (ending == "crash") {
        append(path, kHeading);
        std::abort();
    } else if (ending == "slow" || ending == "slow-writing") {
        if (ending == "slow-writing") {
            const std::filesystem::path file(path);
            const std::string name = std::string(".").append(file.filename().string()).append(".kxrun.0badf00d");
            std::ofstream(file.parent_path() / name, std::ios::binary)
                << "the results so far\r\n";
        }
        std::this_thread::sleep_for(std::chrono::seconds(60));
    }
    std::cout << "STOP - Program terminated" << std::endl;
    return 0;
}
