// The design doctor's entry points and the choice of what it examines.
#pragma once
#include "amg/CaeString.h"
#include "cadInterface/CadUiServices.h"

class AnlJob;
class FerResultSet;

// Handler of "CAEP_SIM_DOCTOR": the doctor on its default subject.
int UIRunDoctorCommand();
// The doctor on a job, a result set, or (both null) its default subject; `fromWizard` is set
// when the guide's results step opens it. Without a subject: message 349. Answers 0.
int UIRunDoctor(AnlJob* job, FerResultSet* resultSet, int fromWizard);
// The Explorer's doctor actions and the guide's results step.
int UIRunDoctorOnJob(AnlJob* job);
int UIRunDoctorOnResultSet(FerResultSet* resultSet);
int UIRunDoctorFromWizard();
