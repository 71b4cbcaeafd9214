// DavGaibuEntityLines: to be written.
#include "DavGaibu.h"
