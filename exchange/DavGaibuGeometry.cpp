// DavGaibuGeometry: to be written.
#include "DavGaibu.h"
