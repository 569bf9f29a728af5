/* Keeps the Wine desktop (and with it the clipboard) alive for the whole life of the wineserver.
 *
 * Wine starts its desktop process on the first use of the window system and ends it a second
 * after the last program that used it. Started by a test, that process would inherit the test's
 * stderr and hold the caller's pipe open long after the test ended; restarted for every program,
 * it would cost seconds each time and lose the clipboard between programs. tools/wine-run starts
 * this program once, detached, so the desktop starts here and stays until `wineserver -k`. */
#include <stdio.h>
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)show;
    /* Starts the desktop process if it is not running, and waits until it is up. */
    if (GetDesktopWindow() == NULL) return 1;
    /* Tells the waiting script that programs may now use the desktop. */
    printf("ready\n");
    fflush(stdout);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
