// One running instance per user.
#include "app/instance.h"

int HandOffToRunningInstance(void)
{
    return 0;
}
