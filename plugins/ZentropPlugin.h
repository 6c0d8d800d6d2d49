#pragma once
// The plugin kit. A plugin is a 32-bit Windows DLL in the plugins\ folder
// beside ztrop32.exe; a binding names it by "#" and the file name without
// ".dll" (plugins\Lock.dll is "#Lock").
//
// The contract:
//  - The library exports a procedure under the exact, undecorated name
//    "Launch" that takes no parameters and returns nothing.
//  - Each press of a bound hotkey loads the library, calls Launch once on the
//    program's user-interface thread, and frees the library as soon as Launch
//    returns. Nothing survives between calls: keep no state in the library
//    that must outlive one, and leave no thread or window running that needs
//    the library's code.
//  - The program waits for Launch, so do the work and return. A modal window
//    inside Launch works, but the program handles hotkeys and its own window
//    meanwhile.
//  - Do not let a C++ exception or a structured fault leave Launch.
//  - A library without Launch, or a file that is not a library, is released
//    again and nothing happens.
//
// Any calling convention serves: Launch has no parameters, so nothing is
// pushed and nothing has to be popped, and cdecl and stdcall agree. What
// matters is the exported name: MinGW decorates a stdcall export as
// "Launch@0" unless linked with --kill-at (zt_add_plugin in cmake/Plugin.cmake
// does that), and a C++ name must be extern "C". ZT_PLUGIN_LAUNCH gets both
// right:
//
//   #include "ZentropPlugin.h"
//   ZT_PLUGIN_LAUNCH { MessageBeep(MB_OK); }
//
// Build it with zt_add_plugin(<Name> <sources>) in CMake, or put the sources
// in plugins/<Name>/ of this tree.

#ifdef __cplusplus
#define ZT_PLUGIN_EXTERN_C extern "C"
#else
#define ZT_PLUGIN_EXTERN_C
#endif

#define ZT_PLUGIN_LAUNCH ZT_PLUGIN_EXTERN_C __declspec(dllexport) void Launch(void)
