// TextFile: to be written.
#include "TextFile.h"
