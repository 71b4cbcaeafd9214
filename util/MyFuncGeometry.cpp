// MyFuncGeometry: to be written.
#include "MyFunc.h"
