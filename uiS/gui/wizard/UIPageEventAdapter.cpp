#include "gui/wizard/UIPageEventAdapter.h"

#include <string>

#include "amg/CaeExcept.h"
#include "cadInterface/CadCommands.h"
#include "cadInterface/CadInterface.h"
#include "cadInterface/CadResources.h"
#include "cadInterface/CadTransactionScope.h"

namespace {

// The localised library is MFC's resource module while an event runs; the previous one comes
// back however the event ends.
class LocalisedResources {
 public:
  LocalisedResources() : previous_(ResourceSetter::UseResourceModule()) {}
  ~LocalisedResources() { ResourceSetter::SetResourceHandle(previous_); }
  LocalisedResources(const LocalisedResources&) = delete;
  LocalisedResources& operator=(const LocalisedResources&) = delete;

 private:
  HINSTANCE previous_;
};

void AbortToDepth(CadInterface* cad, int depth) {
  if (cad) CadTransactionScope::AbortDownTo(*cad, depth);
}

}  // namespace

int CPageEventAdapter::Dispatch(PageEventCode code) {
  LocalisedResources resources;
  CadInterface* cad = CadInterface::GetCurrent();
  const int depth = cad ? cad->NumActiveTransactions() : 0;
  if (cad) cad->SetTransactionBaseDepth(depth);
  std::uint32_t faultCode = 0;
  try {
    if (cad) cad->StartTransaction();
    const int result = OnPageEvent(code);
    if (cad) {
      cad->EndTransaction();
      cmdCheckTransactions(depth, cad->NumActiveTransactions());
    }
    return result;
  } catch (const CaeExcept& error) {
    if (cad) cad->PrintMessage((std::string("\n") + error.String().Text()).c_str());
    AbortToDepth(cad, depth);
    return 0;
  } catch (const CadFault& fault) {
    faultCode = fault.Code();
  } catch (...) {
    faultCode = kCmdForeignExceptionCode;
  }
  // A fault the report does not take on travels on, as it does from a command.
  if (cmdReportException(faultCode) == 0) throw CadFault(faultCode);
  AbortToDepth(cad, depth);
  return 0;
}

void CPageEventAdapter::NextPage(CPropertySheet* sheet) {
  if (sheet && sheet->GetActiveIndex() + 1 < sheet->GetPageCount()) sheet->SetActivePage(sheet->GetActiveIndex() + 1);
}

void CPageEventAdapter::PrevPage(CPropertySheet* sheet) {
  if (sheet && sheet->GetActiveIndex() > 0) sheet->SetActivePage(sheet->GetActiveIndex() - 1);
}

int CPageEventAdapter::OnQueryNewPalette(CWnd* page) {
  if (!page || !page->m_hWnd) return 0;
  const HDC dc = GetDC(page->m_hWnd);
  if (!dc) return 0;
  const int realised = static_cast<int>(RealizePalette(dc));
  ReleaseDC(page->m_hWnd, dc);
  page->PostMessage(WM_PAINT);
  return realised;
}

void CPageEventAdapter::OnPaletteChanged(CWnd* page) {
  if (!page || !page->m_hWnd) return;
  if (const HDC dc = GetDC(page->m_hWnd)) {
    RealizePalette(dc);
    ReleaseDC(page->m_hWnd, dc);
  }
  page->PostMessage(WM_PAINT);
}
