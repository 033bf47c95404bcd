#include "programs/run_program.h"

int main(int argc, char** argv) { return RunProgram(argc, argv, kOrca5s); }
