#include "math/lanes.h"

int WidestLanes()
{
#if defined(__x86_64__)
    static const int kWidest = __builtin_cpu_supports("avx2") ? 8 : 4;
    return kWidest;
#else
    return 4;
#endif
}
