// The XXH3 engine in AVX2 (built with -mavx2).
#define XXH3_PATH_FUNCTIONS Xxh3Avx2
#define XXH_VECTOR XXH_AVX2
#include "checksum/xxh3_path.h"
