#include "gui/doctor/UIDoctor.h"

#include "gui/utils/UINotAvailable.h"

int UIRunDoctorCommand() { return UINotAvailableYet("CAEP_SIM_DOCTOR"); }

int UIFindDoctorTarget(AnlJob*& job, FerResultSet*& resultSet, CaeString& name) {
  job = nullptr;
  resultSet = nullptr;
  name = CaeString();
  return 0;
}
