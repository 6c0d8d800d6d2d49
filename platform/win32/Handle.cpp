#include "platform/win32/Handle.h"
