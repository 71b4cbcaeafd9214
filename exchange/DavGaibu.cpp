// DavGaibu: to be written.
#include "DavGaibu.h"
