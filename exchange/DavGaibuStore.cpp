// DavGaibuStore: to be written.
#include "DavGaibu.h"
