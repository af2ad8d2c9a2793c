// KINOVEX_SOLVER: runs the solver file named in "SolverFilePath.txt".
#include "solver.h"

int main() { return kx::SolverMain(); }
