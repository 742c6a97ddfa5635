// The "Check" page that opens every solve sheet: runs the engine's check of a simulation or
// optimisation model, lists its messages with a help text for the chosen one, marks its own tab
// with the outcome and, when the check passes, steps on to the next page the first time it is
// shown.
#pragma once
#include <cstdint>
#include <memory>

#include "amg/CaeArray.h"
#include "amg/CaeString.h"
#include "mfc/afx.h"
#include "mfc/controls.h"
#include "mfc/propsheet.h"
#include "res/ResourceIds.h"

class AnlModel;
class OptModel;

// The help string of an engine message code of a check (IDS_CHECK_NO_HELP for codes without one).
UINT UICheckHelpString(std::uint32_t code);

class CCheckModelPP : public CPropertyPage {
 public:
  static constexpr UINT kTemplateId = IDD_CHECK_MODEL;
  // Tab images after m_nFirstImage: not checked, failed, passed.
  enum : int { kTabNotChecked = 0, kTabFailed = 1, kTabPassed = 2 };

  CCheckModelPP();
  ~CCheckModelPP() override;

  // The check's result (1 passed, 0 failed, -1 without a model); marks the sheet's tab.
  int RunCheck(CPropertySheet* sheet);
  // Installs the page's three tab images on the sheet's tab control.
  void PrepareTabImages(CPropertySheet* sheet);
  // The list image of message i (0, 1 or 2).
  int MessageImage(int index) const;
  // The tab image list the page's images are in: the sheet's when it has one, else the page's own;
  // null before PrepareTabImages.
  CImageList* TabImages() const { return tabImages_; }
  // The help text of item i.
  CaeString HelpText(int index) const;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

  BOOL m_bChecked = FALSE;
  BOOL m_bAdvance = FALSE;
  // A tab image list of the page's own, made only when the sheet has none (see TabImages).
  std::unique_ptr<CImageList> m_pTabImages;
  std::unique_ptr<CImageList> m_pListImages;
  int m_nFirstImage = 0;
  AnlModel* m_pAnlModel = nullptr;
  OptModel* m_pOptModel = nullptr;
  CaeArray<CaeString> m_messages;
  CaeArray<std::uint32_t> m_codes;

 protected:
  void OnListClick(NMHDR* header, LRESULT* result);
  void OnListNothing(NMHDR* header, LRESULT* result);
  void OnListKeyDown(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  CListCtrl* List() const;
  int CurrentItem() const;
  void ShowHelp(int index);
  void FillList();
  CImageList* tabImages_ = nullptr;
};
