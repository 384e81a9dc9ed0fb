// Resource identifiers of wendlock.rc.
#pragma once

#define IDI_FORM 101
#define IDI_TRAY 102
#define IDC_FINDER 103
#define IDB_LOGO 104
