// Compiled against the driver library only: the window's headers lie above the driver
// and must not be found. The test passes when this file fails to compile.
#include "dialog/DialogTemplate.h"
