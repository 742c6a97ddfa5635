// The about box ("CAEP_ABOUT"): product caption and version, the splash picture and live facts
// about this machine (kernel, processor, free disk space, physical and virtual memory).
//
// The facts come from Linux (uname, /proc/cpuinfo, statvfs of the current folder, sysinfo and
// /proc/meminfo) and are worded with the string table's formats 580, 581, 582 and 586. Kilobyte
// figures are computed exactly and saturate at the largest unsigned long instead of wrapping.
#pragma once
#include <string>

#include "gui/dialogs/common/UISummaryDlg.h"
#include "mfc/afx.h"
#include "res/ResourceIds.h"

// Kernel release "6.1.0-18-amd64" read as major 6, minor 1, build 0 and the rest "18-amd64";
// missing numbers are 0 and numbers stop at 1000000.
struct AboutKernelRelease {
  int major = 0;
  int minor = 0;
  int build = 0;
  std::string rest;
};
AboutKernelRelease AboutParseKernelRelease(const std::string& release);

// The processor's name: the first "model name" of /proc/cpuinfo's text, else `machine`.
std::string AboutProcessorName(const std::string& cpuinfo, const std::string& machine);

// count x unitBytes / 1024, exact, saturating at the largest unsigned long.
unsigned long AboutKilobytes(unsigned long long count, unsigned long long unitBytes);

// The five lines of the system-information block.
struct AboutSystemFacts {
  std::string os;
  std::string processor;
  std::string disk;
  std::string physicalMemory;
  std::string virtualMemory;
};
AboutSystemFacts AboutReadSystemFacts();

class CAboutDlg : public CDialog {
 public:
  static constexpr UINT kTemplateId = IDD_ABOUT;
  explicit CAboutDlg(CWnd* parent);
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  C_CAEPHyperTextCtrl m_hyperText;  // the web address

 private:
  CBitmap splash_;  // lives as long as the box shows it
};

// Runs the about box modally over the host's main window; answers 0.
int UICmdAbout();
