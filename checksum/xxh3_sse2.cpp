// The XXH3 engine in SSE2 (built with -msse2).
#define XXH3_PATH_FUNCTIONS Xxh3Sse2
#define XXH_VECTOR XXH_SSE2
#include "checksum/xxh3_path.h"
