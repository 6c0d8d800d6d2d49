#pragma once
// Identifiers of the program's windows that other programs (and the tests that
// drive the program from outside) may rely on. No <windows.h> needed here.

namespace zt {

// Window classes.
inline constexpr const char* ApplicationClassName = "TApplication";
inline constexpr const char* MainFormClassName = "TfrmMain";
inline constexpr const char* TrayWindowClassName = "TTrayIconWindow";

// Child control ids of frmMain. None is IDOK (1) or IDCANCEL (2): Enter and
// Escape make the dialog manager send those, and they must press nothing.
enum TControlId : int {
  cidLvHk = 100,
  cidLabel1,
  cidLabel2,
  cidLabel3,
  cidLabel4,
  cidCbxPlg,
  cidLabel5,
  cidEdtApp,
  cidSpbBrowse,
  cidLabel6,
  cidEdtHk,
  cidLabel7,
  cidLabel8,
  cidLabel9,
  cidBtnAdd,
  cidBtnRem,
  cidBtnHide,
  cidBtnClose,
};

// The tray icon's callback message (WM_APP + 1) and its icon id; lParam of the
// callback is the mouse message.
inline constexpr unsigned TrayCallbackMessage = 0x8000 + 1;
inline constexpr unsigned TrayIconId = 1;

}  // namespace zt
