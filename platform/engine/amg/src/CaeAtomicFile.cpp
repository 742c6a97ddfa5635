#include "amg/CaeAtomicFile.h"

#include "kestrum/atomic_file.h"

namespace CaeFile {

bool WriteAtomically(const std::filesystem::path& file, std::string_view content, std::string& error) {
  return kestrum::writeFileAtomically(file, content, &error);
}

}  // namespace CaeFile
