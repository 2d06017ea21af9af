// Entry point of Zunta.exe.
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int)
{
    return RunProgram(instance, arguments);
}
