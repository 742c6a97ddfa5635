#include "gui/dialogs/common/UIAboutDlg.h"

#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "amg/CaeString.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "res/ResourceIds.h"

namespace {

// Formats a string-table pattern; the patterns are the product's own, checked by their ids.
template <class... Args>
std::string FormatString(unsigned id, Args... args) {
  const CaeString pattern = resLoadString(id);
  char buffer[512];
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  std::snprintf(buffer, sizeof buffer, pattern.c_str(), args...);
#pragma GCC diagnostic pop
  return buffer;
}

unsigned long long SaturatingAdd(unsigned long long a, unsigned long long b) {
  return a > ULLONG_MAX - b ? ULLONG_MAX : a + b;
}

std::string ReadText(const char* path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// A /proc/meminfo value in kB, or -1 when absent.
long long MeminfoKilobytes(const std::string& meminfo, const std::string& key) {
  std::istringstream lines(meminfo);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind(key + ":", 0) != 0) continue;
    long long value = -1;
    std::istringstream(line.substr(key.size() + 1)) >> value;
    return value;
  }
  return -1;
}

std::string OsLine() {
  utsname names{};
  if (uname(&names) != 0) return resLoadString(IDS_ABOUT_UNAVAILABLE).c_str();
  const AboutKernelRelease release = AboutParseKernelRelease(names.release);
  return FormatString(IDS_ABOUT_OS_FORMAT, names.sysname, release.major, release.minor, release.build,
                      release.rest.c_str());
}

std::string ProcessorLine() {
  utsname names{};
  const std::string machine = uname(&names) == 0 ? names.machine : "";
  return AboutProcessorName(ReadText("/proc/cpuinfo"), machine);
}

std::string DiskLine() {
  struct statvfs fs {};
  if (statvfs(".", &fs) != 0) return resLoadString(IDS_ABOUT_UNAVAILABLE).c_str();
  const char drive = static_cast<char>(_getdrive() + 64);
  return FormatString(IDS_ABOUT_DISK_FORMAT, AboutKilobytes(fs.f_bavail, fs.f_frsize), drive);
}

void MemoryLines(AboutSystemFacts& facts) {
  struct sysinfo info {};
  if (sysinfo(&info) != 0) {
    facts.physicalMemory = facts.virtualMemory = resLoadString(IDS_ABOUT_UNAVAILABLE).c_str();
    return;
  }
  const unsigned long long unit = info.mem_unit ? info.mem_unit : 1;
  const unsigned long physicalTotal = AboutKilobytes(info.totalram, unit);
  const long long available = MeminfoKilobytes(ReadText("/proc/meminfo"), "MemAvailable");
  const unsigned long physicalFree =
      available >= 0 ? static_cast<unsigned long>(available) : AboutKilobytes(info.freeram, unit);
  const unsigned long swapTotal = AboutKilobytes(info.totalswap, unit);
  const unsigned long swapFree = AboutKilobytes(info.freeswap, unit);
  facts.physicalMemory = FormatString(IDS_ABOUT_MEMORY_FORMAT, physicalTotal, physicalFree);
  facts.virtualMemory =
      FormatString(IDS_ABOUT_MEMORY_FORMAT, static_cast<unsigned long>(SaturatingAdd(physicalTotal, swapTotal)),
                   static_cast<unsigned long>(SaturatingAdd(physicalFree, swapFree)));
}

}  // namespace

AboutKernelRelease AboutParseKernelRelease(const std::string& release) {
  constexpr int kVersionLimit = 1000000;
  AboutKernelRelease parsed;
  int* parts[] = {&parsed.major, &parsed.minor, &parsed.build};
  std::size_t position = 0;
  for (int i = 0; i < 3 && position < release.size(); ++i) {
    std::size_t end = position;
    int value = 0;
    while (end < release.size() && release[end] >= '0' && release[end] <= '9') {
      value = std::min(value * 10 + (release[end] - '0'), kVersionLimit);  // never overflows
      ++end;
    }
    if (end == position) break;
    *parts[i] = value;
    position = end;
    if (position < release.size() && release[position] == '.' && i < 2) {
      ++position;
      continue;
    }
    break;
  }
  while (position < release.size() && (release[position] == '-' || release[position] == '.')) ++position;
  parsed.rest = release.substr(std::min(position, release.size()));
  return parsed;
}

std::string AboutProcessorName(const std::string& cpuinfo, const std::string& machine) {
  std::istringstream lines(cpuinfo);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("model name", 0) != 0) continue;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::size_t start = line.find_first_not_of(" \t", colon + 1);
    if (start != std::string::npos) return line.substr(start);
  }
  return machine;
}

unsigned long AboutKilobytes(unsigned long long count, unsigned long long unitBytes) {
  const unsigned __int128 kilobytes = static_cast<unsigned __int128>(count) * unitBytes / 1024;
  return kilobytes > ULONG_MAX ? ULONG_MAX : static_cast<unsigned long>(kilobytes);
}

AboutSystemFacts AboutReadSystemFacts() {
  AboutSystemFacts facts;
  facts.os = OsLine();
  facts.processor = ProcessorLine();
  facts.disk = DiskLine();
  MemoryLines(facts);
  return facts;
}

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(kTemplateId, parent) {}

void CAboutDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_ABOUT_HYPERTEXT, m_hyperText);
}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const AboutSystemFacts facts = AboutReadSystemFacts();
  SetDlgItemText(IDC_ABOUT_OS, facts.os.c_str());
  SetDlgItemText(IDC_ABOUT_CPU, facts.processor.c_str());
  SetDlgItemText(IDC_ABOUT_DISK, facts.disk.c_str());
  SetDlgItemText(IDC_ABOUT_PHYSICAL, facts.physicalMemory.c_str());
  SetDlgItemText(IDC_ABOUT_VIRTUAL, facts.virtualMemory.c_str());
  if (CWnd* note = GetDlgItem(IDC_ABOUT_NOTE)) note->ShowWindow(SW_HIDE);
  m_hyperText.SetText(resLoadString(IDS_WEB_ADDRESS).c_str());
  if (auto* picture = dynamic_cast<CStatic*>(GetDlgItem(IDC_ABOUT_PICTURE))) {
    if (splash_.Attach(LoadBitmap(ResourceSetter::ResourceModule(), IDB_ABOUT_SPLASH))) picture->SetBitmap(splash_);
  }
  return TRUE;
}

int UICmdAbout() {
  CadInterface* cad = CadInterface::GetCurrent();
  CAboutDlg dialog(CWnd::FromHandle(cad ? cad->GetMainWindow() : nullptr));
  dialog.DoModal();
  return 0;
}
