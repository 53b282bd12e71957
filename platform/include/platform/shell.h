// Shell services (shell32): notification-area icons and starting programs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win_types.h"

namespace win {

// Handles travel in these records as their 32-bit values, so the records keep the layout
// of a 32-bit Windows program on every build (the tray is a 32-bit program).
using HANDLE32 = std::uint32_t;

template <typename Handle>
HANDLE32 handleValue(Handle handle) {
  return static_cast<HANDLE32>(reinterpret_cast<std::uintptr_t>(handle));
}
template <typename Handle>
Handle handleFromValue(HANDLE32 value) {
  return reinterpret_cast<Handle>(static_cast<std::uintptr_t>(value));
}

// The record layout that ends with dwInfoFlags (shell version 5). Sent with cbSize 936 it
// offers balloons; with 152 the shell reads only up to the 64-character tip.
struct NOTIFYICONDATAW {
  DWORD cbSize;
  HANDLE32 hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HANDLE32 hIcon;
  char16_t szTip[128];
  DWORD dwState;
  DWORD dwStateMask;
  char16_t szInfo[256];
  union {
    UINT uTimeout;
    UINT uVersion;
  };
  char16_t szInfoTitle[64];
  DWORD dwInfoFlags;
};

// The same in the ANSI code page: 488 bytes with balloons, 88 without.
struct NOTIFYICONDATAA {
  DWORD cbSize;
  HANDLE32 hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HANDLE32 hIcon;
  char szTip[128];
  DWORD dwState;
  DWORD dwStateMask;
  char szInfo[256];
  union {
    UINT uTimeout;
    UINT uVersion;
  };
  char szInfoTitle[64];
  DWORD dwInfoFlags;
};

static_assert(sizeof(NOTIFYICONDATAW) == 936, "NOTIFYICONDATAW has the 32-bit Windows layout");
static_assert(offsetof(NOTIFYICONDATAW, hWnd) == 4 && offsetof(NOTIFYICONDATAW, uID) == 8 &&
                  offsetof(NOTIFYICONDATAW, uFlags) == 12 && offsetof(NOTIFYICONDATAW, uCallbackMessage) == 16 &&
                  offsetof(NOTIFYICONDATAW, hIcon) == 20 && offsetof(NOTIFYICONDATAW, szTip) == 24 &&
                  offsetof(NOTIFYICONDATAW, dwState) == 280 && offsetof(NOTIFYICONDATAW, dwStateMask) == 284 &&
                  offsetof(NOTIFYICONDATAW, szInfo) == 288 && offsetof(NOTIFYICONDATAW, uTimeout) == 800 &&
                  offsetof(NOTIFYICONDATAW, szInfoTitle) == 804 && offsetof(NOTIFYICONDATAW, dwInfoFlags) == 932,
              "NOTIFYICONDATAW field offsets");
static_assert(sizeof(NOTIFYICONDATAA) == 488, "NOTIFYICONDATAA has the 32-bit Windows layout");
static_assert(offsetof(NOTIFYICONDATAA, hIcon) == 20 && offsetof(NOTIFYICONDATAA, szTip) == 24 &&
                  offsetof(NOTIFYICONDATAA, dwState) == 152 && offsetof(NOTIFYICONDATAA, dwStateMask) == 156 &&
                  offsetof(NOTIFYICONDATAA, szInfo) == 160 && offsetof(NOTIFYICONDATAA, uTimeout) == 416 &&
                  offsetof(NOTIFYICONDATAA, szInfoTitle) == 420 && offsetof(NOTIFYICONDATAA, dwInfoFlags) == 484,
              "NOTIFYICONDATAA field offsets");

// Sizes the shell accepts: the full records and the first-version ones (tip of 64 characters).
constexpr DWORD NOTIFYICONDATAW_V2_SIZE = 936;
constexpr DWORD NOTIFYICONDATAW_V1_SIZE = 152;
constexpr DWORD NOTIFYICONDATAA_V2_SIZE = 488;
constexpr DWORD NOTIFYICONDATAA_V1_SIZE = 88;
static_assert(offsetof(NOTIFYICONDATAW, szTip) + 64 * sizeof(char16_t) == NOTIFYICONDATAW_V1_SIZE);
static_assert(offsetof(NOTIFYICONDATAA, szTip) + 64 == NOTIFYICONDATAA_V1_SIZE);

constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr DWORD NIM_SETVERSION = 4;

constexpr UINT NIF_MESSAGE = 0x1;
constexpr UINT NIF_ICON = 0x2;
constexpr UINT NIF_TIP = 0x4;
constexpr UINT NIF_INFO = 0x10;

constexpr UINT NOTIFYICON_VERSION = 3;
constexpr DWORD NIIF_INFO = 1;

// Shell callback codes in the low word of lParam (the mouse ones are the mouse messages).
constexpr UINT NIN_SELECT = 0x400;
constexpr UINT NIN_KEYSELECT = 0x401;
constexpr UINT NIN_BALLOONSHOW = 0x402;
constexpr UINT NIN_BALLOONHIDE = 0x403;
constexpr UINT NIN_BALLOONTIMEOUT = 0x404;
constexpr UINT NIN_BALLOONUSERCLICK = 0x405;

BOOL Shell_NotifyIconW(DWORD dwMessage, NOTIFYICONDATAW* lpData);
BOOL Shell_NotifyIconA(DWORD dwMessage, NOTIFYICONDATAA* lpData);

constexpr int SW_SHOW = 5;

// Greater than 32 when the program was started. Texts in the ANSI code page; null pointers
// for the operation, parameters and directory mean "none".
HINSTANCE ShellExecuteA(HWND hwnd, const char* lpOperation, const char* lpFile, const char* lpParameters,
                        const char* lpDirectory, int nShowCmd);

}  // namespace win
