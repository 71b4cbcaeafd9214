// PlatformIcu: to be written.
#include "Platform.h"
