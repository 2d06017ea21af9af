// Text measured and cut by characters of the process code page.
#include "app/textutil.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

TEST(ProcessCodePage, IsUtf8AsTheManifestDeclares)
{
    EXPECT_EQ(GetACP(), 65001u) << "names outside the system's code page would be lost";
}
#endif
