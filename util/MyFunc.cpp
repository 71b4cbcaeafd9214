// MyFunc: to be written.
#include "MyFunc.h"
