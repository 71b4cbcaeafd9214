// DavGaibuParse: to be written.
#include "DavGaibu.h"
