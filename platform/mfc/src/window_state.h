// The state behind a window handle. Internal to the toolkit: the add-in reaches it only through
// CWnd, the control classes and the Win32 functions.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "mfc/wintypes.h"
#include "tree_nodes.h"

class CWnd;
class CMenu;
struct TreeNode;
using HTREEITEM = TreeNode*;
struct ImageListData;
namespace mfc {
class HostedControl;
}

enum class WindowKind {
  Generic,
  Dialog,
  Static,
  Edit,
  Button,
  ComboBox,
  ListBox,
  Progress,
  Slider,
  Spin,
  ListView,
  TreeView,
  Tab,
  Hosted
};

struct ListEntry {
  std::string text;
  DWORD_PTR data = 0;
  int check = 0;
  bool enabled = true;
  bool selected = false;
  int image = -1;
  UINT state = 0;
  std::vector<std::string> subItems;
};

struct TreeNode {
  std::string text;
  int image = 0;
  int selectedImage = 0;
  DWORD_PTR data = 0;
  TreeNode* parent = nullptr;
  std::vector<TreeNode*> children;
  bool expanded = false;
};

struct TabEntry {
  std::string text;
  int image = -1;
  LPARAM param = 0;
};

struct HWND__ {
  std::thread::id thread;
  std::uint64_t serial = 0;        // creation order
  std::uintptr_t documentTag = 0;  // top-level windows: the host's document current at creation
  WindowKind kind = WindowKind::Generic;
  std::string className;
  HWND parent = nullptr;
  std::vector<HWND> children;
  int id = 0;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};
  bool destroyStarted = false;  // WM_DESTROY sent: a second DestroyWindow does nothing
  bool destroying = false;      // past WM_DESTROY: no longer a window (IsWindow is FALSE)
  bool needsPaint = false;
  bool modalState = false;  // BeginModalState on a top-level window
  CWnd* object = nullptr;
  std::unique_ptr<CWnd> temporary;
  CMenu* menu = nullptr;
  std::unique_ptr<CMenu> ownedMenu;
  UINT templateId = 0;
  int defId = IDOK;

  // Modal loop.
  bool inModalLoop = false;
  bool modalEnded = false;
  int modalResult = 0;

  // Controls.
  std::vector<ListEntry> items;  // combo, list box, list view rows, tab is separate
  int curSel = -1;
  int topIndex = 0;
  int textLimit = 0;
  int check = 0;
  int rangeMin = 0;
  int rangeMax = 100;
  int pos = 0;
  std::vector<int> tics;
  bool readOnly = false;
  std::vector<std::string> columns;
  std::vector<int> columnWidths;
  // Every node of a tree, by its handle: asking whether a handle is still one of its items does
  // not walk the whole tree (a large Explorer tree asks at every insert).
  TreeNodeTable treeNodes;
  std::vector<TreeNode*> treeRoots;
  TreeNode* treeSelected = nullptr;
  std::vector<TabEntry> tabs;
  void* imageList = nullptr;           // CImageList* for list and tree controls, HBITMAP for statics
  ImageListData* tabImages = nullptr;  // a tab control's image list, by handle
  HWND buddy = nullptr;
  std::unique_ptr<mfc::HostedControl> hosted;       // outside controls (ole.h)
  std::vector<std::pair<HWND, std::string>> tools;  // tooltip tools: window and text
  bool tooltipActive = false;
  std::vector<MSG> relayed;        // mouse messages relayed to a tooltip control, oldest first
  std::vector<std::string> drawn;  // operations of released GetDC contexts of this window
};
