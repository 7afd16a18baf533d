// A modal Win32 dialog whose controls are made in code: the frame every
// parameter dialog of the Windows build shares. It is placed at the stored
// position (kept on the work area) or centred, owned by the host's window,
// and closed by IDOK (after OnOk agrees) or IDCANCEL.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class WinDialog {
 public:
  WinDialog(int clientWidth, int clientHeight);
  virtual ~WinDialog();
  WinDialog(const WinDialog&) = delete;
  WinDialog& operator=(const WinDialog&) = delete;

  // Shows the dialog modally; true when it was closed with OK. Throws when
  // the window cannot be made (the text holds both languages).
  bool RunModal(HWND owner, const std::wstring& caption, const std::optional<std::pair<int32_t, int32_t>>& position);
  HWND Handle() const { return hwnd_; }
  // Window left/top when shown and when closed.
  std::pair<int32_t, int32_t> ShownAt() const { return shownAt_; }
  std::pair<int32_t, int32_t> ClosedAt() const { return closedAt_; }

  // The host's window id as an owner: none when it is not a window.
  static HWND OwnerFromHost(int32_t ownerWindow);

 protected:
  // Builds the controls; the window exists, the caption is set.
  virtual void OnCreate() {}
  // After the dialog has been placed, before it shows.
  virtual void OnShow() {}
  // A WM_COMMAND of a control other than IDOK/IDCANCEL; true when handled.
  virtual bool OnCommand(int id, int code, HWND control) { return false; }
  virtual LRESULT OnNotify(const NMHDR& header) { return 0; }
  // An owner-drawn control (AddCanvas) is to be painted.
  virtual void OnDrawItem(const DRAWITEMSTRUCT& item) {}
  // OK pressed: false keeps the dialog open.
  virtual bool OnOk() { return true; }
  // Any other message; set handled to answer it.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) { return 0; }

  // Control builders, in client pixels. Every control gets the dialog font;
  // the ones a user types into or clicks take the keyboard focus by Tab.
  HWND AddControl(const wchar_t* className, int id, const std::wstring& text, DWORD style, int x, int y, int w, int h,
                  DWORD exStyle = 0);
  HWND AddLabel(int id, const std::wstring& text, int x, int y, int w, int h);
  HWND AddButton(int id, const std::wstring& text, int x, int y, int w, int h, bool isDefault = false);
  HWND AddEdit(int id, const std::wstring& text, int x, int y, int w, int h, DWORD extraStyle = 0);
  // An up-down at the right edge of `buddy`; returns the buddy.
  HWND AddUpDown(int spinId, HWND buddy, DWORD extraStyle = 0);
  // An empty edit with an up-down buddy at its right edge (32-bit range).
  HWND AddSpin(int editId, int spinId, int x, int y, int w, int h, int32_t minimum, int32_t maximum);
  HWND AddCombo(int id, const std::vector<std::wstring>& items, int x, int y, int w, int h, bool editable = false);
  HWND AddCheck(int id, const std::wstring& text, int x, int y, int w, int h);
  // `first` starts a new group of radio buttons.
  HWND AddRadio(int id, const std::wstring& text, int x, int y, int w, int h, bool first);
  HWND AddGroup(int id, const std::wstring& text, int x, int y, int w, int h);
  HWND AddTab(int id, const std::vector<std::wstring>& pages, int x, int y, int w, int h);
  HWND AddTree(int id, int x, int y, int w, int h);
  // A control painted by OnDrawItem.
  HWND AddCanvas(int id, int x, int y, int w, int h);

  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  std::wstring Text(int id) const;
  void SetText(int id, const std::wstring& text);
  void ShowItem(int id, bool shown);
  // The tool tip of a control (UTF-8 text); a second call replaces it.
  void SetHint(int id, const char* text);
  // A message box owned by the dialog (information, warning or error icon).
  int ShowMessage(const std::wstring& text, UINT flags = MB_OK | MB_ICONINFORMATION);
  HFONT Font() const { return font_; }
  // The colour tab control `id` fills its page with (themes draw it lighter
  // than the dialog), read from its own drawing in the middle, `fromBottom`
  // pixels above its lower edge; CLR_INVALID when it cannot be read.
  COLORREF TabPageColour(int id, int fromBottom) const;
  // Later OnPage answers paint in this colour.
  void SetPageColour(COLORREF colour);
  // The answer to a WM_CTLCOLOR… of a control on the tab's page; 0 before a
  // page colour is set.
  INT_PTR OnPage(WPARAM dc) const;
  // Ends the modal run as OK would, or as Cancel.
  void Close(bool ok);

 private:
  friend class WinDialogView;  // reads and sets the controls for a presenter
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void Place();
  std::pair<int32_t, int32_t> WindowTopLeft() const;

  int clientWidth_;
  int clientHeight_;
  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH pageBrush_ = nullptr;
  COLORREF pageColour_ = 0;
  HWND tooltip_ = nullptr;   // made with the first hint, freed with the dialog
  std::vector<int> hinted_;  // controls that have a tool
  std::wstring caption_;
  std::optional<std::pair<int32_t, int32_t>> position_;
  std::pair<int32_t, int32_t> shownAt_{0, 0};
  std::pair<int32_t, int32_t> closedAt_{0, 0};
};
