#pragma once
// Every text the program's own windows show, in one place. The interface is
// Russian; keeping the texts in UTF-16 and using the W functions makes them
// read correctly whatever the system's ANSI code page is.

namespace zt::Texts {

inline constexpr const wchar_t* FormCaption = L"Zentrop 2.01";
inline constexpr const wchar_t* Label1 = L"Zentrop 2.01";
inline constexpr const wchar_t* Label2 = L"by Brelwick Team";
inline constexpr const wchar_t* Label3 = L"Программа для запуска горячими клавишами.";
inline constexpr const wchar_t* Label4 = L"Плагин:";
inline constexpr const wchar_t* Label5 = L"Приложение:";
inline constexpr const wchar_t* Label6 = L"Горячая клавиша:";
inline constexpr const wchar_t* Label7 = L"Комбинации клавиш связываются  символом \"+\"";
inline constexpr const wchar_t* Label8 = L"\"Win\" - клавиша Windows";
inline constexpr const wchar_t* Label9 = L"\"Space\" - клавиша Пробел.";

inline constexpr const wchar_t* ColumnKeys = L"Клаиши";
inline constexpr const wchar_t* ColumnCommand = L"Комманда";
inline constexpr const wchar_t* NoPlugin = L"(Не использовать)";

inline constexpr const wchar_t* BtnAdd = L"Добавить";
inline constexpr const wchar_t* BtnRem = L"Удалить";
inline constexpr const wchar_t* BtnHide = L"Свернуть";
inline constexpr const wchar_t* BtnClose = L"Закрыть";

// Pairs of description and mask, each NUL-terminated, the list ending in an
// empty string, as GetOpenFileNameW takes them.
inline constexpr wchar_t OpenFilter[] =
    L"Испольняемые файлы (*.exe)\0*.exe\0Все файлы (*.*)\0*.*\0";

inline constexpr const wchar_t* TrayHint = L"Zentrop";
inline constexpr const wchar_t* MenuSettings = L"Настройка клавиш";
inline constexpr const wchar_t* MenuExit = L"Выход";

// %s stands for the application title.
inline constexpr const wchar_t* AlreadyRunning = L"Application \"%s\" is already running.";

inline constexpr const wchar_t* UiFontName = L"Tahoma";

}  // namespace zt::Texts
