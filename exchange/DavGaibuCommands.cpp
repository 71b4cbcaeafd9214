// DavGaibuCommands: to be written.
#include "DavGaibu.h"
