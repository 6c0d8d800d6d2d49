#pragma once
// TfrmMain: the settings window and the program's main window. It holds the
// program's components and their event handlers.

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/AppHandles.h"
#include "app/Application.h"
#include "app/ListViewRows.h"
#include "app/OneInstance.h"
#include "app/TrayIcon.h"
#include "bindings/Bindings.h"
#include "bindings/Dispatch.h"
#include "hotkeys/HotKeyManager.h"
#include "platform/win32/Win32HotKeySystem.h"
#include "platform/win32/Win32PluginLibraries.h"
#include "platform/win32/Win32ProfileFile.h"
#include "platform/win32/Win32Shell.h"

namespace zt {

class TfrmMain : public TForm {
 public:
  TfrmMain();
  ~TfrmMain() override;

  void Create() override;
  void Show() override;
  void Close() override;
  void EndSession() override;

  // Handlers, in the order the class has always declared them.
  void FormCreate();
  void N2Click();
  void ticMainDblClick();
  void N1Click();
  void FormPaint(HDC dc);
  void spbBrowseClick();
  void cbxPlgChange();
  void btnAddClick();
  void btnRemClick();
  void btnHideClick();
  void btnCloseClick();
  // False when the save failed: the close is then abandoned.
  bool FormClose();
  void hkmMainHotKeyPressed(THotKeyCode HotKey, std::uint16_t Index);

  // The executable's folder with its trailing "\" (or ":").
  std::string AppDir;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  struct TGlyph {
    TImageListHandle Images;
    TIconHandle DisabledIcon;
    int Width = 0;
    int Height = 0;
  };

  void CreateFonts();
  void CreateControls();
  HWND CreateControl(const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle,
                     int id, int left, int top, int width, int height);
  HWND CreateLabel(const wchar_t* text, int id, int left, int top, HFONT font);
  void LoadGlyph(TGlyph& glyph, const wchar_t* name);
  void DrawButton(const DRAWITEMSTRUCT& item);
  const TGlyph* GlyphOf(int id) const;
  int Scaled(int value) const;
  void PublishWindowHandle();
  void SaveSettings();
  // Runs one creation step; its error is shown and creation goes on.
  template <class F>
  void Step(F step);

  static LRESULT CALLBACK BrowseButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR data);
  LRESULT BrowseButtonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // The platform first: the components below use it until they are gone.
  TWin32HotKeySystem FHotKeySystem;
  TWin32ProfileFiles FProfileFiles;
  TWin32Shell FShell;
  TWin32PluginLibraries FLibraries;

  // Components.
  TTrayIcon ticMain;
  TMenuHandle mnuTray;
  THotKeyManager hkmMain;
  TOneInstance oninstMain;

  TListViewRows FRows;
  TBindingList FBindings;
  TDispatcher FDispatcher;

  TFontHandle FFont;
  TFontHandle FBoldFont;
  int FTextHeight = 13;
  HICON FAppIcon = nullptr;  // shared resource icon, not destroyed
  TGlyph FGlyphAdd, FGlyphRemove, FGlyphHide, FGlyphClose, FGlyphBrowse;
  bool FPositioned = false;
  HWND FFocus = nullptr;

  // Controls (child windows, destroyed with the form).
  HWND lvHk = nullptr;
  HWND Label1 = nullptr, Label2 = nullptr, Label3 = nullptr, Label4 = nullptr, Label5 = nullptr,
       Label6 = nullptr, Label7 = nullptr, Label8 = nullptr, Label9 = nullptr;
  HWND cbxPlg = nullptr;
  HWND edtApp = nullptr;
  HWND spbBrowse = nullptr;
  HWND btnAdd = nullptr;
  HWND edtHk = nullptr;
  HWND btnRem = nullptr;
  HWND btnHide = nullptr;
  HWND btnClose = nullptr;
};

extern TfrmMain* frmMain;

// ParamStr(index) of a command line: pieces split at blanks and control
// characters, double quotes group and are removed; "" when there is none.
std::string ParamStr(const std::string& commandLine, int index);

}  // namespace zt
