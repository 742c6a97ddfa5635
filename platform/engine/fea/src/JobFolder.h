// The folders of jobs that run in a scratch folder of their own.
#pragma once

#include <filesystem>

#include "amg/CaeString.h"

namespace fea_detail {

// A new, empty folder for one job under the configuration's "Scratch Directory"; empty when none
// could be made.
std::filesystem::path FreshJobFolder(const CaeString& jobName);

}  // namespace fea_detail
