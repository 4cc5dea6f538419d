#include "qev/kernel.h"
static_assert(sizeof(void *) == 4, "compiled for 32-bit");
