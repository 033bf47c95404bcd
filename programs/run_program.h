#pragma once

#include "programs/variants.h"

// Starts the window of the given program and runs until it closes.
int RunProgram(int argc, char** argv, const BuildVariant& variant);
