#include "app/OneInstance.h"

#include "app/Application.h"
#include "app/Texts.h"

namespace zt {

std::wstring TOneInstance::MarkName(const std::string& title) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  // Object names compare case-sensitively on Windows but not everywhere, and
  // "\" would start a namespace: hex keeps every title distinct and legal.
  std::wstring name = L"Zentrop.OneInstance.";
  for (unsigned char c : title) {
    name += digits[c >> 4];
    name += digits[c & 0x0F];
  }
  return name;
}

void TOneInstance::Loaded() {
  HANDLE mark = ::CreateMutexW(nullptr, FALSE, MarkName(Application.Title()).c_str());
  DWORD error = ::GetLastError();
  FMark.reset(mark);
  // A mark we could not make at all is no proof of another instance.
  FSecondInstance = mark != nullptr && error == ERROR_ALREADY_EXISTS;
  if (!FSecondInstance) return;
  FMark.reset();

  Application.ShowMainForm = false;
  std::wstring title = Application.TitleW();
  std::wstring text = Texts::AlreadyRunning;
  text.replace(text.find(L"%s"), 2, title);
  ::MessageBoxW(Application.Handle(), text.c_str(), title.c_str(), MB_OK | MB_ICONEXCLAMATION);
  ActivatePrevInstance();
  Application.Terminate();
}

void TOneInstance::ActivatePrevInstance() {
  const std::string& title = Application.Title();
  // FindWindow matches captions without regard to case; the title must match
  // byte for byte.
  HWND window = nullptr;
  while ((window = ::FindWindowExA(nullptr, window, "TApplication", nullptr)) != nullptr) {
    if (window == Application.Handle()) continue;
    std::string caption(title.size() + 2, '\0');
    int length = ::GetWindowTextA(window, caption.data(), static_cast<int>(caption.size()));
    if (length < 0 || caption.substr(0, static_cast<size_t>(length)) != title) continue;
    if (::IsIconic(window))
      ::ShowWindow(window, SW_RESTORE);
    else
      ::SetForegroundWindow(window);
    return;
  }
}

}  // namespace zt
