// Resource identifiers, read by the resource compiler for resources/lumox.rc
// and by the code, so both name the same numbers; hence #defines only. Menu
// commands and control ids both arrive as LOWORD(wParam) of WM_COMMAND; the
// numbers below never collide.
#pragma once

// Menu
#define IDR_MAINMENU 101
#define ID_GAME_NEW 40001
#define ID_GAME_EXIT 40002
#define ID_GAME_PAUSE 40003
#define ID_GAME_UNPAUSE 40004
#define ID_GAME_GAMEOVER 40005
#define ID_RESULTS_SHOW 40006
#define ID_RESULTS_CLEAR 40007
#define ID_HELP_ABOUT 40009
#define ID_GAME_SPEED 40012
#define ID_GAME_EXTENDEDTILESET 40013

// Dialogs
#define IDD_ABOUT 102
#define IDD_NAME 103
#define IDD_SPEED 104

// Icon. 103 is also the name dialog's number; that is no clash, because a
// resource is found by its type and its number together.
#define IDI_APPICON 103

// Controls. The two edits share 1000: they never live in the same dialog.
#define IDC_SPEED_EDIT 1000
#define IDC_NAME_EDIT 1000
#define IDC_OK 1004
#define IDC_CANCEL 1005
#define IDC_DEFAULT 1007
