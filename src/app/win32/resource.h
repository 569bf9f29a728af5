#pragma once
// Resource ids of keltora.exe, shared by the resource script and the code.
#define IDI_KELTORA 1
#define IDB_BANNER 101
#define IDB_STRIP 102
#define IDB_SPLASH 103
#define IDB_ABOUT 104
