// Win32 window and message functions over handles, the per-thread message queue, the clock that
// timers run on, and worker threads.
//
// Queue order, as the platform's: messages sent from other threads are handled first, then
// posted messages in order, then WM_PAINT for invalidated windows (the window is validated as
// its WM_PAINT is dispatched), then WM_TIMER for timers that are due. A timer fires at most once
// per pass however far the clock moved, and its next due time is counted from when it fired.
#pragma once
#include <cstdint>
#include <vector>

#include "mfc/wintypes.h"

// Posting to a dead window fails (FALSE). Posting to null posts to the calling thread.
BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Sending from another thread waits until the window's thread takes the message from its queue.
LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PeekMessage(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
#define PeekMessageA PeekMessage
#define DispatchMessageA DispatchMessage
#define PostMessageA PostMessage
#define SendMessageA SendMessage
void PostQuitMessage(int exitCode);

BOOL IsWindow(HWND hwnd);
HWND GetParent(HWND hwnd);
HWND GetDlgItem(HWND dialog, int id);
BOOL SetWindowText(HWND hwnd, const char* text);
int GetWindowText(HWND hwnd, char* buffer, int size);
BOOL SetDlgItemText(HWND dialog, int id, const char* text);
BOOL ShowWindow(HWND hwnd, int command);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
BOOL IsWindowVisible(HWND hwnd);
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
BOOL DestroyWindow(HWND hwnd);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
// Every beep is logged ("beep <type>").
BOOL MessageBeep(UINT type);
#define MessageBoxA MessageBox

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void (*callback)(HWND, UINT, UINT_PTR, DWORD));
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// Milliseconds on the toolkit's clock.
DWORD GetTickCount();

namespace mfc {

// The live windows that are not child windows, in creation order.
std::vector<HWND> topLevelWindows();

// The host says which of its documents is current (0: none); a window that is not a child window
// belongs to the document that was current when it was made. Two drawings' windows may share a
// title: this tells them apart.
void setCurrentDocumentTag(std::uintptr_t tag);
std::uintptr_t documentTagOf(HWND window);

// The clock timers run on: the system's steady clock, or a test clock that moves only when told.
void useTestClock(bool on);
bool usingTestClock();
// Moves the test clock forward (no effect on the system clock).
void advanceClock(std::uint64_t ms);
std::uint64_t clockNow();

// Handles every message that is waiting for the calling thread (with PreTranslateMessage), and
// returns how many were handled. Timers due now are included.
int pumpMessages();
// Runs worker threads' cross-thread sends while waiting at most `ms` for a message to arrive.
void waitForMessage(int ms);
// Number of worker threads started with AfxBeginThread that have not ended.
int runningWorkerThreads();
// Waits until every worker thread has ended, handling this thread's messages meanwhile; false
// after `timeoutMs` of real time.
bool waitForWorkerThreads(int timeoutMs);

}  // namespace mfc
