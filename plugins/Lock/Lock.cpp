// "#Lock": locks the workstation, as Win+L does, from a hotkey of one's own.
#include <windows.h>

#include "ZentropPlugin.h"

ZT_PLUGIN_LAUNCH {
  ::LockWorkStation();
}
