// The in-memory profile of the native tests, built into the Wine tests too,
// where it is held against the real profile functions.
#include "tests/doubles/MemoryProfile.cpp"
