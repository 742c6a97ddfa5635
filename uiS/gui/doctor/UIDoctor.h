// The design doctor's entry points that the frame calls.
#pragma once
#include "amg/CaeString.h"

class AnlJob;
class FerResultSet;

// Handler of "CAEP_SIM_DOCTOR". Not part of the system yet: says so on the command line.
int UIRunDoctorCommand();

// 1 when the design doctor has a subject (a job or a result set), with the subject in the
// outputs; 0 when there is none. The doctor is not part of the system yet, so there is never a
// subject: answers 0 and leaves the outputs null and empty.
int UIFindDoctorTarget(AnlJob*& job, FerResultSet*& resultSet, CaeString& name);
