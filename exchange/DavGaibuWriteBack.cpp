// DavGaibuWriteBack: to be written.
#include "DavGaibu.h"
