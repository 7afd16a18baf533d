// TWavesForm of the Windows build: the wave load/save block's dialog, drawn
// with Win32 controls over the shared wave dialog logic.
#include <windows.h>
// After windows.h, which they build on.
#include <commdlg.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>

#include "WinDialog.h"
#include "WinDialogView.h"
#include "WinForms.h"
#include "WinText.h"
#include "WinWaveDialogIds.h"
#include "dialogs/logic/SoundClips.h"
#include "dialogs/logic/WavePresenter.h"
#include "numeric/ParameterRecords.h"

using namespace wave_controls;

namespace {

int Id(ControlName name) { return WinWaveControlId(name); }

// The record's texts are 8-bit in the system's ANSI code page; the logic's
// texts are UTF-8. A name without an exact ANSI form is refused, never stored
// mangled.
WaveDialog::WaveFiles AnsiWaveFiles() {
  WaveDialog::WaveFiles files = WaveDialog::SystemWaveFiles();
  files.toLocal = [](const std::string& text) { return AnsiFromWide(WideFromUtf8(text)); };
  files.fromLocal = [](std::string_view local) { return Utf8FromWide(WideFromAnsi(local)); };
  return files;
}

std::wstring CaptionOf(ControlName name, bool russian) { return WideCaption(WaveDialog::Captions(), name, russian); }

struct ClipPlay {
  const void* image;
  BOOL played;
};

DWORD WINAPI PlayClipThread(void* context) {
  auto* play = static_cast<ClipPlay*>(context);
  // Synchronous: the call returns when the clip has ended.
  play->played = PlaySoundW(static_cast<LPCWSTR>(play->image), nullptr, SND_MEMORY | SND_NODEFAULT);
  return 0;
}

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&PlayClipThread), &module);
  return module;
}

// The presenter's view: the header memo breaks lines the Windows way, and
// messages come without an icon.
class WaveView : public WinDialogView {
 public:
  explicit WaveView(WinDialog& dialog) : WinDialogView(dialog, &Lookup) {}
  void SetText(ControlName control, const std::string& text) override {
    std::string lines;
    for (char c : text) c == '\n' ? lines += "\r\n" : lines += c;
    WinDialogView::SetText(control, lines);
  }
  void ShowMessage(const std::string& text, MessageKind) override {
    MessageBoxW(Dialog().Handle(), WideFromUtf8(text).c_str(), L"Rir_Eda", MB_OK);
  }

 private:
  static std::optional<WinControlRef> Lookup(std::string_view name) {
    if (const int id = WinWaveControlId(name)) return WinControlRef{id};
    return std::nullopt;
  }
};

class WaveDialogForm : public WinDialog {
 public:
  explicit WaveDialogForm(const DialogRequest& request)
      : WinDialog(430, 250), request_(request), view_(*this), presenter_(view_, AnsiWaveFiles()) {
    presenter_.SetType(request.typeName);
    presenter_.SetSettings(request.directory, request.language);
  }
  ~WaveDialogForm() override {
    if (fixedFont_ != nullptr) DeleteObject(fixedFont_);
  }

  std::wstring Caption() const { return WideFromUtf8(presenter_.Form().Texts().title); }
  std::vector<uint8_t> Record() const { return presenter_.ResultBytes(); }
  std::optional<ScreenPoint> StoredPosition() const { return presenter_.StoredPosition(ShownAt(), ClosedAt()); }

 protected:
  void OnCreate() override {
    const bool ru = presenter_.Form().Russian();
    const bool load = presenter_.LoadPage();
    // Only the block's own page has a tab.
    AddTab(Id("PageControl"_ctl), {CaptionOf(load ? "LoadWaveTab"_ctl : "SaveWaveTab"_ctl, ru)}, 8, 8, 414, 196);
    if (load) {
      AddLabel(Id("FileNam_lab"_ctl), CaptionOf("FileNam_lab"_ctl, ru), 20, 47, 78, 18);
      AddEdit(Id("LoadFileName"_ctl), L"", 100, 43, 270, 23);
      AddButton(Id("LoadBitBtn"_ctl), L"...", 376, 43, 32, 23);
      AddLabel(Id("RxLabel1"_ctl), CaptionOf("RxLabel1"_ctl, ru), 20, 76, 78, 18);
      AddControl(L"EDIT", Id("WaveProp"_ctl), L"",
                 WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 100, 73, 308, 122,
                 WS_EX_CLIENTEDGE);
      SendMessageW(Item(Id("LoadFileName"_ctl)), EM_SETLIMITTEXT, WaveDialog::kNameLimit, 0);
      fixedFont_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier New");
      if (fixedFont_ != nullptr)
        SendMessageW(Item(Id("WaveProp"_ctl)), WM_SETFONT, reinterpret_cast<WPARAM>(fixedFont_), FALSE);
    } else {
      AddLabel(Id("Sample_lab"_ctl), CaptionOf("Sample_lab"_ctl, ru), 20, 47, 88, 18);
      AddCombo(Id("SampleWave"_ctl), WideItems(WaveDialog::kSampleItems), 110, 43, 298, 23);
      AddLabel(Id("SaveWave_lab"_ctl), CaptionOf("SaveWave_lab"_ctl, ru), 20, 77, 88, 18);
      AddEdit(Id("SaveWaveFile"_ctl), L"", 110, 73, 260, 23);
      AddButton(Id("SaveBitBtn"_ctl), L"...", 376, 73, 32, 23);
      AddLabel(Id("Amp2_lab"_ctl), CaptionOf("Amp2_lab"_ctl, ru), 20, 107, 88, 18);
      AddCombo(Id("WaveRate"_ctl), WideItems(WaveDialog::kRateItems), 110, 103, 298, 23);
      SendMessageW(Item(Id("WaveRate"_ctl)), CB_SETMINVISIBLE, WaveDialog::kRateVisibleLines, 0);
      AddLabel(Id("Bits_lab"_ctl), CaptionOf("Bits_lab"_ctl, ru), 20, 135, 88, 18);
      AddRadio(Id("Radio_Bit8"_ctl), L"8", 110, 133, 44, 20, true);
      AddRadio(Id("Radio_Bit16"_ctl), L"16", 160, 133, 50, 20, false);
      SendMessageW(Item(Id("SaveWaveFile"_ctl)), EM_SETLIMITTEXT, WaveDialog::kNameLimit, 0);
    }
    AddButton(IDOK, WideCaption(kOkButtonCaption, ru), 160, 214, 82, 26);
    AddButton(IDCANCEL, WideCaption(kCancelButtonCaption, ru), 248, 214, 82, 26);
    AddButton(Id("PlayBtn"_ctl), L"Pl&ay", 336, 214, 82, 26, true);
    AddButton(Id("HelpBtn"_ctl), WideCaption(kHelpButtonCaption, ru), 72, 214, 82, 26);
    presenter_.Start();
    // A stored file that cannot be read is said in the dialog itself: a
    // message box before the user did anything would hold up whoever opened
    // the dialog.
    std::vector<std::string> messages = presenter_.Open(request_.data);
    if (load && !messages.empty()) {
      presenter_.SayInMemo(messages);
    } else {
      pendingMessages_ = std::move(messages);
    }
  }

  void OnShow() override {
    if (const COLORREF page = TabPageColour(Id("PageControl"_ctl), 12); page != CLR_INVALID) SetPageColour(page);
    // The first field of the page takes the focus (after the dialog manager
    // has given it to the first control).
    PostMessageW(Handle(), WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(Item(presenter_.LoadPage() ? Id("LoadFileName"_ctl) : Id("SampleWave"_ctl))),
                 TRUE);
    if (!pendingMessages_.empty()) PostMessageW(Handle(), WM_APP, 0, 0);
  }

  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM, bool& handled) override {
    if (message == WM_CTLCOLORSTATIC) {
      // Labels, radio buttons and the header memo sit on the tab page: they
      // take its colour, not the dialog's.
      handled = true;
      return OnPage(wParam);
    }
    if (message != WM_APP) return 0;
    handled = true;
    const std::vector<std::string> messages = std::move(pendingMessages_);
    pendingMessages_.clear();
    for (const std::string& text : messages) Say(text);
    return TRUE;
  }

  bool OnCommand(int id, int code, HWND) override {
    if (code != BN_CLICKED) return false;
    const bool browse = id == Id("LoadBitBtn"_ctl) || id == Id("SaveBitBtn"_ctl);
    if (browse) HandleChangeName();
    if (id == Id("PlayBtn"_ctl)) PlayBtnClick();
    // The help button does nothing.
    return browse || id == Id("PlayBtn"_ctl) || id == Id("HelpBtn"_ctl);
  }

  bool OnOk() override {
    if (!presenter_.Ok()) return false;
    stopPlaying_ = true;
    return true;
  }

 private:
  void Say(const std::string& text) { ShowMessage(WideFromUtf8(text), MB_OK); }

  void HandleChangeName() {
    std::vector<wchar_t> picked(32768, L'\0');
    const std::wstring directory = WideFromUtf8(presenter_.Form().Directory());
    const std::wstring filter =
        WideFromUtf8(WaveDialog::kFilterName) + L'\0' + WideFromUtf8(WaveDialog::kFilterPattern) + L'\0' + L'\0';
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = picked.data();
    ofn.nMaxFile = static_cast<DWORD>(picked.size());
    ofn.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    // A recorder names a file that need not exist yet.
    if (presenter_.LoadPage()) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (!(presenter_.LoadPage() ? GetOpenFileNameW(&ofn) : GetSaveFileNameW(&ofn))) return;
    presenter_.Picked(Utf8FromWide(picked.data()));
  }

  void PlayBtnClick() {
    if (playing_) return;
    playing_ = true;
    stopPlaying_ = false;
    // Greyed while its sounds play: a second press would only be refused.
    view_.SetEnabled("PlayBtn"_ctl, false);
    try {
      if (presenter_.LoadPage()) {
        if (const std::optional<std::string> name = presenter_.FileToPlay()) PlayFile(*name);
      } else {
        // After a refusal the rest would only repeat the same message.
        for (const std::string& clip : presenter_.ClipsToPlay()) {
          if (stopPlaying_ || !PlayClip(clip)) break;
        }
      }
    } catch (const std::exception& e) {
      Say(e.what());
    }
    view_.SetEnabled("PlayBtn"_ctl, true);
    playing_ = false;
  }

  // Starts playing a file and returns at once.
  void PlayFile(const std::string& name) {
    if (waveOutGetNumDevs() == 0) {
      Say(SoundClips::kNoSoundCard);
      return;
    }
    if (!PlaySoundW(WideFromUtf8(name).c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT))
      Say(SoundClips::kBusy);
  }

  // Plays a built-in clip and returns when it has ended; the dialog keeps
  // answering meanwhile.
  bool PlayClip(const std::string& name) {
    const std::optional<std::string> carried = SoundClips::CarriedName(name);
    HMODULE module = ThisModule();
    HRSRC found = carried ? FindResourceW(module, WideFromUtf8(*carried).c_str(), MAKEINTRESOURCEW(10)) : nullptr;
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* image = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (image == nullptr) throw std::runtime_error(SoundClips::kNoResource);
    if (waveOutGetNumDevs() == 0) {
      Say(SoundClips::kNoSoundCard);
      return false;
    }
    ClipPlay play{image, FALSE};
    HANDLE thread = CreateThread(nullptr, 0, PlayClipThread, &play, 0, nullptr);
    if (thread == nullptr) {
      Say(SoundClips::kClipRefused);
      return false;
    }
    bool quit = false;
    WPARAM quitCode = 0;
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          quit = true;
          quitCode = msg.wParam;
        } else if (!IsDialogMessageW(Handle(), &msg)) {
          TranslateMessage(&msg);
          DispatchMessageW(&msg);
        }
      }
      // Closed (or the application ends) while a clip plays: the sound stops.
      if (quit || !IsWindowVisible(Handle())) {
        stopPlaying_ = true;
        PlaySoundW(nullptr, nullptr, 0);
      }
      if (quit) {
        WaitForSingleObject(thread, INFINITE);
        break;
      }
    }
    CloseHandle(thread);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    if (!play.played && !stopPlaying_) {
      Say(SoundClips::kClipRefused);
      return false;
    }
    return true;
  }

  const DialogRequest& request_;
  WaveView view_;
  WaveDialog::WavePresenter presenter_;
  HFONT fixedFont_ = nullptr;
  std::vector<std::string> pendingMessages_;
  bool playing_ = false;
  bool stopPlaying_ = false;
};

}  // namespace

DialogResult RunWinWaveDialog(const DialogRequest& request, DialogHooks& hooks, HWND owner) {
  if (hooks.setLanguage) hooks.setLanguage(request.language);
  WaveDialogForm dialog(request);
  DialogResult result;
  result.accepted = dialog.RunModal(owner, dialog.Caption(), request.position);
  if (!result.accepted) return result;
  result.position = dialog.StoredPosition();
  result.data = dialog.Record();
  return result;
}
