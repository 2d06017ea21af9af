// The XXH3 engine in plain C.
#define XXH3_PATH_FUNCTIONS Xxh3Scalar
#define XXH_VECTOR XXH_SCALAR
#include "checksum/xxh3_path.h"
