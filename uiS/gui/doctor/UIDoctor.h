// The design doctor's entry points that the frame calls.
#pragma once
#include "amg/CaeString.h"
#include "cadInterface/CadUiServices.h"

class AnlJob;
class FerResultSet;

// Handler of "CAEP_SIM_DOCTOR". Not part of the system yet: says so on the command line.
int UIRunDoctorCommand();
