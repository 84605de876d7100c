#include "dialog/Up.h"
