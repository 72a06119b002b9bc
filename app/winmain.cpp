#include "kazerima.h"

#include <objbase.h>

extern "C" int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // For the accessibility names of the fields.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = 0;
    {
        Kazerima window(instance);
        window.show(showCommand);
        exitCode = runMessageLoop(window);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return exitCode;
}
