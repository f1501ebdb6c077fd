// The soft input panel's interface, as on the device.
#pragma once
#include <windows.h>

#define SPI_SETSIPINFO 224
#define SPI_GETSIPINFO 225

#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004

typedef struct tagSIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop;   // the screen area above the panel (and below the navigation bar)
    RECT rcSipRect;          // where the panel is
    DWORD dwImDataSize;
    void* pvImData;
} SIPINFO;

// SPI_GETSIPINFO fills a SIPINFO whose cbSize is set; SPI_SETSIPINFO raises or
// lowers the panel from its fdwFlags. Returns FALSE for anything else.
BOOL WINAPI SHSipInfo(UINT action, UINT param, PVOID info, UINT winIni);

// Raises (SIPF_ON) or lowers (SIPF_OFF) the panel. A change is announced to
// the program's top-level windows as WM_SETTINGCHANGE with SPI_SETSIPINFO.
BOOL WINAPI SipShowIM(DWORD flags);
