#include "kazerima.h"

// The page's program: the window lives on after main returns, run by the page's own events.
int main()
{
    static Kazerima window;
    return 0;
}
