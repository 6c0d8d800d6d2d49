#include "app/Application.h"

#include <commctrl.h>
#include <objbase.h>

namespace zt {

TApplication Application;

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  int size =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
  return result;
}

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result.data(), size,
                        nullptr, nullptr);
  return result;
}

std::string ModuleFileName() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string TitleFromModuleName(const std::string& modulePath) {
  std::string title = modulePath.substr(modulePath.find_last_of("\\:") + 1);
  title = title.substr(0, title.find('.'));
  if (title.size() > 1) {
    // After the first character, which may be a double-byte one.
    char* rest = ::CharNextA(title.data());
    ::CharLowerBuffA(rest, static_cast<DWORD>(title.size() - (rest - title.data())));
  }
  return title;
}

TApplication::~TApplication() {
  Done();
}

std::wstring TApplication::TitleW() const {
  return AnsiToWide(FTitle);
}

void TApplication::CreateHandle() {
  if (Handle()) return;
  FTitle = TitleFromModuleName(ModuleFileName());
  const wchar_t* className = L"TApplication";
  RegisterWindowClass(className, 0, nullptr, nullptr);
  // A captioned popup of no size at the middle of the screen: never seen, but
  // it can be minimised and restored like any top-level window.
  int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
  int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
  TWindowBase::CreateHandle(0, className, TitleW().c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            x, y, 0, 0, nullptr);
}

void TApplication::Initialize() {
  FComInitialized = SUCCEEDED(::CoInitialize(nullptr));
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

void TApplication::Run() {
  if (FTerminated) return;
  if (ShowMainForm && FMainForm) FMainForm->Show();
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab and the arrow keys move between the settings window's controls;
    // Enter and Escape reach it as IDOK / IDCANCEL, which it ignores.
    HWND form = FMainForm ? FMainForm->Handle() : nullptr;
    if (form && ::IsDialogMessageW(form, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  FTerminated = true;
}

void TApplication::Terminate() {
  FTerminated = true;
  ::PostQuitMessage(0);
}

void TApplication::Done() {
  FMainForm = nullptr;
  // Last created goes first, as components go with their owner.
  while (!FForms.empty()) FForms.pop_back();
  DestroyHandle();
  if (FComInitialized) {
    ::CoUninitialize();
    FComInitialized = false;
  }
}

void TApplication::ShowException(const std::string& message) {
  std::string text = message;
  // A sentence gets its full stop, unless it ends in punctuation already.
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  HWND owner = Handle();
  if (FMainForm && FMainForm->Handle() && ::IsWindowVisible(FMainForm->Handle()))
    owner = FMainForm->Handle();
  ::MessageBoxW(owner, AnsiToWide(text).c_str(), TitleW().c_str(), MB_ICONERROR | MB_OK);
}

void TApplication::MinimizeToTray() {
  if (FMainForm) FMainForm->Hide();
  ::ShowWindow(Handle(), SW_HIDE);
}

void TApplication::RestoreFromTray() {
  if (::IsIconic(Handle()))
    ::ShowWindow(Handle(), SW_RESTORE);
  else
    ::ShowWindow(Handle(), SW_SHOWNA);
  if (FMainForm) FMainForm->Show();
}

LRESULT TApplication::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      // Ends the program as the tray menu's exit does: the main form closes.
      if (FMainForm) FMainForm->Close();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) {
        // The process may be gone soon after this returns: keep the data now.
        if (FMainForm) FMainForm->EndSession();
        Terminate();
      }
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED && MinimizeToTrayEnabled) MinimizeToTray();
      return 0;
    default:
      return DefaultProc(message, wParam, lParam);
  }
}

void TForm::Show() {
  HWND window = Handle();
  if (!window) return;
  // An owner left minimised would hide its owned windows again.
  HWND owner = ::GetWindow(window, GW_OWNER);
  if (owner && ::IsIconic(owner)) {
    ::ShowWindow(owner, SW_RESTORE);
    ::ShowWindow(owner, SW_HIDE);
  }
  ::ShowWindow(window, SW_SHOW);
  ::SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::SetForegroundWindow(window);
}

void TForm::Hide() {
  if (Handle()) ::ShowWindow(Handle(), SW_HIDE);
}

}  // namespace zt
