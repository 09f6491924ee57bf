// Entry of the screen-saver module SSHalvex.scr. For now a skeleton that does nothing and
// ends at once, whatever mode it is started in.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
