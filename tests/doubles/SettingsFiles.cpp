// The settings files of the Wine tests (tests/win32/support), built into the
// native doubles as well, so that both run the same files.
#include "tests/win32/support/SettingsFiles.cpp"
