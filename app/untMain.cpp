#include "app/untMain.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <exception>
#include <vector>

#include "app/ControlIds.h"
#include "app/Registry.h"
#include "app/Texts.h"
#include "bindings/AsciiText.h"
#include "bindings/Plugins.h"

namespace zt {

TfrmMain* frmMain = nullptr;

namespace {

constexpr UINT idN1 = 101;
constexpr UINT idN2 = 102;

// The layout is given for a font whose text is 13 pixels high.
constexpr int DesignTextHeight = 13;

constexpr COLORREF ClBlack = RGB(0, 0, 0);
constexpr COLORREF ClBlue = RGB(0, 0, 255);

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::wstring WindowTextW(HWND window) {
  int length = ::GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  length = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length > 0 ? length : 0));
  return text;
}

}  // namespace

std::string ParamStr(const std::string& commandLine, int index) {
  size_t at = 0;
  for (int n = 0;; ++n) {
    while (at < commandLine.size() && IsSeparator(commandLine[at])) ++at;
    if (at >= commandLine.size()) return {};
    std::string piece;
    while (at < commandLine.size() && !IsSeparator(commandLine[at])) {
      if (commandLine[at] == '"') {
        ++at;
        while (at < commandLine.size() && commandLine[at] != '"') piece += commandLine[at++];
        if (at < commandLine.size()) ++at;
      } else {
        piece += commandLine[at++];
      }
    }
    if (n == index) return piece;
  }
}

TfrmMain::TfrmMain()
    : hkmMain(FHotKeySystem),
      FBindings(FRows, hkmMain, FProfileFiles),
      FDispatcher(FRows, FShell, FLibraries) {
  hkmMain.OnHotKeyPressed = [this](THotKeyCode HotKey, std::uint16_t Index) {
    hkmMainHotKeyPressed(HotKey, Index);
  };
}

TfrmMain::~TfrmMain() {
  // The window and its controls go before the components they show.
  DestroyHandle();
  if (frmMain == this) frmMain = nullptr;
}

int TfrmMain::Scaled(int value) const {
  return ::MulDiv(value, FTextHeight, DesignTextHeight);
}

void TfrmMain::CreateFonts() {
  HDC screen = ::GetDC(nullptr);
  LOGFONTW font{};
  font.lfHeight = -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = RUSSIAN_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  ::lstrcpynW(font.lfFaceName, Texts::UiFontName, LF_FACESIZE);
  FFont.reset(::CreateFontIndirectW(&font));
  font.lfWeight = FW_BOLD;
  FBoldFont.reset(::CreateFontIndirectW(&font));

  HGDIOBJ old = ::SelectObject(screen, FFont.get());
  TEXTMETRICW metrics{};
  if (::GetTextMetricsW(screen, &metrics) && metrics.tmHeight > 0) FTextHeight = metrics.tmHeight;
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
}

HWND TfrmMain::CreateControl(const wchar_t* className, const wchar_t* text, DWORD style,
                             DWORD exStyle, int id, int left, int top, int width, int height) {
  HWND control = ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style,
                                   Scaled(left), Scaled(top), Scaled(width), Scaled(height),
                                   Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.get()), FALSE);
  return control;
}

HWND TfrmMain::CreateLabel(const wchar_t* text, int id, int left, int top, HFONT font) {
  // A label is as large as its text in its font.
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, font);
  RECT bounds{0, 0, 0, 0};
  ::DrawTextW(screen, text, -1, &bounds, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);

  HWND label = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                 Scaled(left), Scaled(top), bounds.right, bounds.bottom, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}

void TfrmMain::LoadGlyph(TGlyph& glyph, const wchar_t* name) {
  // A missing glyph leaves the button with its caption alone.
  TGdiHandle bitmap(
      ::LoadImageW(::GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return;
  BITMAP info{};
  if (!::GetObjectW(bitmap.get(), sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
    return;

  // The bottom-left pixel gives the colour that is drawn transparent.
  TDcHandle memory(::CreateCompatibleDC(nullptr));
  HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
  COLORREF transparent = ::GetPixel(memory.get(), 0, info.bmHeight - 1);
  ::SelectObject(memory.get(), old);
  memory.reset();

  glyph.Images.reset(::ImageList_Create(info.bmWidth, info.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0));
  if (!glyph.Images) return;
  if (::ImageList_AddMasked(glyph.Images.get(), static_cast<HBITMAP>(bitmap.get()), transparent) <
      0) {
    glyph.Images.reset();
    return;
  }
  glyph.Width = info.bmWidth;
  glyph.Height = info.bmHeight;
  glyph.DisabledIcon.reset(::ImageList_GetIcon(glyph.Images.get(), 0, ILD_NORMAL));
}

void TfrmMain::CreateControls() {
  const DWORD tab = WS_TABSTOP;
  // Created in tab order: the dialog manager tabs through the children in
  // their Z order.
  Label1 = CreateLabel(Texts::Label1, cidLabel1, 40, 8, FBoldFont.get());
  Label2 = CreateLabel(Texts::Label2, cidLabel2, 144, 24, FBoldFont.get());
  Label3 = CreateLabel(Texts::Label3, cidLabel3, 24, 40, FFont.get());

  lvHk = CreateControl(WC_LISTVIEWW, L"", tab | LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS,
                       WS_EX_CLIENTEDGE, cidLvHk, 8, 56, 233, 265);
  FRows.SetListView(lvHk);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.cx = Scaled(100);
  column.pszText = const_cast<wchar_t*>(Texts::ColumnKeys);
  ::SendMessageW(lvHk, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  column.cx = Scaled(128);
  column.pszText = const_cast<wchar_t*>(Texts::ColumnCommand);
  ::SendMessageW(lvHk, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));

  Label4 = CreateLabel(Texts::Label4, cidLabel4, 248, 56, FFont.get());
  cbxPlg = CreateControl(WC_COMBOBOXW, L"", tab | CBS_DROPDOWNLIST | WS_VSCROLL, 0, cidCbxPlg, 248,
                         72, 217, 200);
  ::SendMessageW(cbxPlg, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Texts::NoPlugin));
  ::SendMessageW(cbxPlg, CB_SETCURSEL, 0, 0);
  // The closed box is as high as the edit boxes. Its height follows its
  // selection field by a rule of the control's own, so measure and correct.
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT box;
    ::GetWindowRect(cbxPlg, &box);
    int difference = Scaled(21) - (box.bottom - box.top);
    int field =
        static_cast<int>(::SendMessageW(cbxPlg, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    if (difference == 0 || field <= 0 || field + difference <= 0) break;
    ::SendMessageW(cbxPlg, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field + difference);
  }

  Label5 = CreateLabel(Texts::Label5, cidLabel5, 248, 96, FFont.get());
  edtApp = CreateControl(L"EDIT", L"", tab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, cidEdtApp, 248, 112,
                         217, 21);
  // Takes no focus: its clicks are handled in BrowseButtonMessage.
  spbBrowse = CreateControl(L"BUTTON", L"", BS_OWNERDRAW, 0, cidSpbBrowse, 472, 110, 24, 24);
  ::SetWindowSubclass(spbBrowse, &TfrmMain::BrowseButtonProc, 1, reinterpret_cast<DWORD_PTR>(this));
  btnAdd =
      CreateControl(L"BUTTON", Texts::BtnAdd, tab | BS_OWNERDRAW, 0, cidBtnAdd, 248, 232, 89, 25);
  Label6 = CreateLabel(Texts::Label6, cidLabel6, 248, 136, FFont.get());
  edtHk = CreateControl(L"EDIT", L"", tab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, cidEdtHk, 248, 152,
                        121, 21);
  Label7 = CreateLabel(Texts::Label7, cidLabel7, 248, 184, FFont.get());
  Label8 = CreateLabel(Texts::Label8, cidLabel8, 248, 200, FFont.get());
  Label9 = CreateLabel(Texts::Label9, cidLabel9, 248, 216, FFont.get());
  btnRem =
      CreateControl(L"BUTTON", Texts::BtnRem, tab | BS_OWNERDRAW, 0, cidBtnRem, 248, 264, 89, 25);
  btnHide =
      CreateControl(L"BUTTON", Texts::BtnHide, tab | BS_OWNERDRAW, 0, cidBtnHide, 400, 232, 89, 25);
  btnClose = CreateControl(L"BUTTON", Texts::BtnClose, tab | BS_OWNERDRAW, 0, cidBtnClose, 400, 264,
                           89, 25);

  LoadGlyph(FGlyphAdd, L"GLYPH_ADD");
  LoadGlyph(FGlyphRemove, L"GLYPH_REMOVE");
  LoadGlyph(FGlyphHide, L"GLYPH_HIDE");
  LoadGlyph(FGlyphClose, L"GLYPH_CLOSE");
  LoadGlyph(FGlyphBrowse, L"GLYPH_BROWSE");
}

void TfrmMain::Create() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  FAppIcon = ::LoadIconW(instance, L"MAINICON");
  RegisterWindowClass(L"TfrmMain", CS_DBLCLKS, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)),
                      FAppIcon);
  CreateFonts();

  // Fixed single border, a caption without system menu or buttons.
  const DWORD style = WS_CAPTION | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  RECT frame{0, 0, Scaled(501), Scaled(331)};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  if (!CreateHandle(exStyle, L"TfrmMain", Texts::FormCaption, style, 0, 0, frame.right - frame.left,
                    frame.bottom - frame.top, Application.Handle()))
    return;
  CreateControls();

  // The components finish loading: the icon goes into the tray (still without
  // an image), the application starts hidden, a second instance is told off.
  mnuTray.reset(::CreatePopupMenu());
  ::AppendMenuW(mnuTray.get(), MF_STRING, idN1, Texts::MenuSettings);
  ::AppendMenuW(mnuTray.get(), MF_STRING, idN2, Texts::MenuExit);
  ::SetMenuDefaultItem(mnuTray.get(), idN1, FALSE);
  ticMain.SetHint(Texts::TrayHint);
  ticMain.SetPopupMenu(mnuTray.get());
  ticMain.OnMenuCommand = [this](UINT id) {
    if (id == idN1) N1Click();
    if (id == idN2) N2Click();
  };
  ticMain.OnDblClick = [this] { ticMainDblClick(); };
  ticMain.SetVisible(true);
  ticMain.Loaded();
  oninstMain.Loaded();

  FDispatcher.SetOwnerWindow(reinterpret_cast<WindowHandle>(Handle()));
  FormCreate();
}

template <class F>
void TfrmMain::Step(F step) {
  try {
    step();
  } catch (const std::exception& e) {
    Application.ShowException(e.what());
  }
}

void TfrmMain::FormCreate() {
  const std::string modulePath = ModuleFileName();
  Step([&] {
    HICON icon = ::ExtractIconA(::GetModuleHandleW(nullptr), modulePath.c_str(), 1);
    // 1 means "not a file with icons": not a handle.
    if (reinterpret_cast<UINT_PTR>(icon) <= 1) icon = nullptr;
    ticMain.SetIcon(icon);
  });
  Step([&] {
    AppDir = modulePath.substr(0, modulePath.find_last_of("\\:") + 1);
    FBindings.SetAppDir(AppDir);
    FDispatcher.SetAppDir(AppDir);
  });
  // An instance that is ending because another one runs leaves no trace: it
  // shows nothing, reads no bindings (so it can never write them back) and
  // keeps the published handle of the one that goes on.
  if (oninstMain.IsSecondInstance()) return;
  Step([&] {
    if (AsciiUpper(ParamStr(::GetCommandLineA(), 1)) == "/CPL") Show();
  });
  Step([&] {
    for (const std::string& name : FindPlugins(FLibraries, AppDir))
      ::SendMessageW(cbxPlg, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AnsiToWide(name).c_str()));
  });
  // Wine's list view repaints for every row put in while it may draw, which
  // makes a long list load in seconds: draw once, when all rows are in.
  ::SendMessageW(lvHk, WM_SETREDRAW, FALSE, 0);
  Step([&] { FBindings.LoadBindings(); });
  ::SendMessageW(lvHk, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(lvHk, nullptr, TRUE);
  Step([&] { PublishWindowHandle(); });
}

void TfrmMain::PublishWindowHandle() {
  TRegistry registry(KEY_SET_VALUE);
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  registry.OpenKey("SOFTWARE\\Brelwick Team\\Zentrop", true);
  auto handle = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(Application.Handle()));
  registry.WriteString("Data", std::to_string(handle));
}

void TfrmMain::SaveSettings() {
  if (oninstMain.IsSecondInstance()) return;
  FBindings.SaveBindings();
}

void TfrmMain::Show() {
  if (!FPositioned && Handle()) {
    // Centred the first time only; afterwards it keeps its place.
    RECT frame;
    ::GetWindowRect(Handle(), &frame);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    ::SetWindowPos(Handle(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                   (::GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FPositioned = true;
  }
  TForm::Show();
}

void TfrmMain::Close() {
  if (Application.Terminated()) return;
  if (FormClose()) Application.Terminate();
}

bool TfrmMain::FormClose() {
  try {
    SaveSettings();
  } catch (const std::exception& e) {
    Application.ShowException(e.what());
    return false;
  }
  return true;
}

void TfrmMain::EndSession() {
  try {
    SaveSettings();
  } catch (const std::exception& e) {
    Application.ShowException(e.what());
  }
}

void TfrmMain::N2Click() {
  Close();
}

void TfrmMain::ticMainDblClick() {
  Show();
}

void TfrmMain::N1Click() {
  Show();
}

void TfrmMain::FormPaint(HDC dc) {
  if (FAppIcon) ::DrawIcon(dc, 10, 10, FAppIcon);
}

void TfrmMain::spbBrowseClick() {
  std::vector<wchar_t> fileName(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Handle();
  dialog.lpstrFilter = Texts::OpenFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = static_cast<DWORD>(fileName.size());
  dialog.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER;
  dialog.FlagsEx = OFN_EX_NOPLACESBAR;
  if (!::GetOpenFileNameW(&dialog)) return;
  if (fileName[0] == L'\0') return;
  DWORD attributes = ::GetFileAttributesW(fileName.data());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
  ::SetWindowTextW(edtApp, fileName.data());
}

void TfrmMain::cbxPlgChange() {
  int index = static_cast<int>(::SendMessageW(cbxPlg, CB_GETCURSEL, 0, 0));
  BOOL enable = index <= 0;
  ::EnableWindow(edtApp, enable);
  ::EnableWindow(spbBrowse, enable);
}

void TfrmMain::btnAddClick() {
  int index = static_cast<int>(::SendMessageW(cbxPlg, CB_GETCURSEL, 0, 0));
  std::wstring pluginName;
  if (index >= 0) {
    LRESULT length = ::SendMessageW(cbxPlg, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length >= 0) {
      pluginName.assign(static_cast<size_t>(length) + 1, L'\0');
      ::SendMessageW(cbxPlg, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(pluginName.data()));
      pluginName.resize(static_cast<size_t>(length));
    }
  }
  FBindings.AddBinding(WideToAnsi(WindowTextW(edtHk)), WideToAnsi(WindowTextW(edtApp)), index,
                       WideToAnsi(pluginName));
}

void TfrmMain::btnRemClick() {
  FBindings.RemoveSelectedBinding();
}

void TfrmMain::btnHideClick() {
  try {
    SaveSettings();
  } catch (const std::exception& e) {
    // Stays in view, so that the user sees that nothing was kept.
    Application.ShowException(e.what());
    return;
  }
  Hide();
}

void TfrmMain::btnCloseClick() {
  Close();
}

void TfrmMain::hkmMainHotKeyPressed(THotKeyCode HotKey, std::uint16_t /*Index*/) {
  // Called from the hotkey window's procedure, which is not ours.
  try {
    FDispatcher.HotKeyPressed(HotKey);
  } catch (const std::exception& e) {
    Application.ShowException(e.what());
  }
}

const TfrmMain::TGlyph* TfrmMain::GlyphOf(int id) const {
  switch (id) {
    case cidBtnAdd:
      return &FGlyphAdd;
    case cidBtnRem:
      return &FGlyphRemove;
    case cidBtnHide:
      return &FGlyphHide;
    case cidBtnClose:
      return &FGlyphClose;
    case cidSpbBrowse:
      return &FGlyphBrowse;
    default:
      return nullptr;
  }
}

void TfrmMain::DrawButton(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT bounds = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0 && !(item.itemState & ODS_NOFOCUSRECT);

  TThemeHandle theme;
  if (::IsAppThemed()) theme.reset(::OpenThemeData(item.hwndItem, L"BUTTON"));
  if (theme) {
    int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : PBS_NORMAL;
    ::DrawThemeParentBackground(item.hwndItem, dc, &bounds);
    ::DrawThemeBackground(theme.get(), dc, BP_PUSHBUTTON, state, &bounds, nullptr);
  } else {
    ::DrawFrameControl(
        dc, &bounds, DFC_BUTTON,
        DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0u) | (disabled ? DFCS_INACTIVE : 0u));
  }

  std::wstring caption = WindowTextW(item.hwndItem);
  HGDIOBJ oldFont = ::SelectObject(dc, FFont.get());
  SIZE textSize{0, 0};
  if (!caption.empty())
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &textSize);

  // Glyph, 4 pixels, caption: the two together centred on the button.
  const TGlyph* glyph = GlyphOf(static_cast<int>(item.CtlID));
  const bool hasGlyph = glyph && glyph->Images;
  int total = textSize.cx;
  if (hasGlyph) total += glyph->Width + (caption.empty() ? 0 : 4);
  const int shift = pressed && !theme ? 1 : 0;
  int x = bounds.left + (bounds.right - bounds.left - total) / 2 + shift;
  const int middle = (bounds.top + bounds.bottom) / 2 + shift;

  if (hasGlyph) {
    int y = middle - glyph->Height / 2;
    if (disabled && glyph->DisabledIcon)
      ::DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(glyph->DisabledIcon.get()), 0, x,
                   y, glyph->Width, glyph->Height, DST_ICON | DSS_DISABLED);
    else
      ::ImageList_Draw(glyph->Images.get(), 0, dc, x, y, ILD_TRANSPARENT);
    x += glyph->Width + 4;
  }
  if (!caption.empty()) {
    RECT text{x, bounds.top, x + textSize.cx, bounds.bottom};
    ::OffsetRect(&text, 0, shift);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
  ::SelectObject(dc, oldFont);

  if (focused) {
    RECT focus = bounds;
    ::InflateRect(&focus, -3, -3);
    ::DrawFocusRect(dc, &focus);
  }
}

LRESULT CALLBACK TfrmMain::BrowseButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*id*/, DWORD_PTR data) {
  return reinterpret_cast<TfrmMain*>(data)->BrowseButtonMessage(window, message, wParam, lParam);
}

LRESULT TfrmMain::BrowseButtonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The browse button acts on the mouse as a button does but never takes the
  // focus away from the field being edited.
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      ::SetCapture(window);
      ::SendMessageW(window, BM_SETSTATE, TRUE, 0);
      return 0;
    case WM_MOUSEMOVE:
      if (::GetCapture() == window) {
        RECT bounds;
        ::GetClientRect(window, &bounds);
        POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        BOOL inside = ::PtInRect(&bounds, at);
        BOOL pushed = (::SendMessageW(window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        if (inside != pushed) ::SendMessageW(window, BM_SETSTATE, inside, 0);
      }
      return 0;
    case WM_LBUTTONUP:
      if (::GetCapture() == window) {
        bool pushed = (::SendMessageW(window, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        ::ReleaseCapture();
        if (pushed)
          ::SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(cidSpbBrowse, BN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
      }
      return 0;
    case WM_CAPTURECHANGED:
      ::SendMessageW(window, BM_SETSTATE, FALSE, 0);
      return 0;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(window, &TfrmMain::BrowseButtonProc, 1);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT TfrmMain::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      // IDOK and IDCANCEL (Enter, Escape) have no control: they press nothing.
      int id = LOWORD(wParam);
      int code = HIWORD(wParam);
      if (id == cidCbxPlg && code == CBN_SELCHANGE) cbxPlgChange();
      if (code == BN_CLICKED) {
        if (id == cidSpbBrowse) spbBrowseClick();
        if (id == cidBtnAdd) btnAddClick();
        if (id == cidBtnRem) btnRemClick();
        if (id == cidBtnHide) btnHideClick();
        if (id == cidBtnClose) btnCloseClick();
      }
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == lvHk && header->code == LVN_ENDLABELEDITW) {
        auto* edit = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        // Null when the edit was cancelled. The row is updated by the list
        // itself, so the control is told to keep what it has.
        if (edit->item.pszText)
          FBindings.EditBindingText(edit->item.iItem, WideToAnsi(edit->item.pszText));
        return FALSE;
      }
      return DefaultProc(message, wParam, lParam);
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType == ODT_BUTTON) {
        DrawButton(*item);
        return TRUE;
      }
      return DefaultProc(message, wParam, lParam);
    }
    case WM_CTLCOLORSTATIC: {
      HWND control = reinterpret_cast<HWND>(lParam);
      const HWND labels[] = {Label1, Label2, Label3, Label4, Label5,
                             Label6, Label7, Label8, Label9};
      bool label = false;
      for (HWND each : labels) label = label || each == control;
      // Labels are transparent on the white form; the rest keep the system's colours.
      if (!label) return DefaultProc(message, wParam, lParam);
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, control == Label2 ? ClBlue : ClBlack);
      ::SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = ::BeginPaint(Handle(), &paint);
      FormPaint(dc);
      ::EndPaint(Handle(), &paint);
      return 0;
    }
    case WM_ACTIVATE:
      // Coming back, the focus returns to the control that had it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(Handle(), focus)) FFocus = focus;
      } else {
        HWND focus =
            FFocus && ::IsWindow(FFocus) ? FFocus : ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
        if (focus) ::SetFocus(focus);
      }
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    default:
      return DefaultProc(message, wParam, lParam);
  }
}

}  // namespace zt
