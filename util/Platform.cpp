// Platform: to be written.
#include "Platform.h"
