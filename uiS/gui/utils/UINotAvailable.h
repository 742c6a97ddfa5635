// The answer of a command whose user interface is not part of the system yet.
#pragma once

// Prints "\n<what> is not available yet." on the command line (CadInterface::PrintMessage);
// answers 0. Does nothing without a CAD interface.
int UINotAvailableYet(const char* what);
