// Stand-in popup menus: recorded as built; TrackPopupMenu answers with the scripted choice.
#include "user/user_state.h"

namespace portable::user {

void setCursorPos(win::POINT position) { state().cursor = position; }
void scriptMenuChoice(win::UINT_PTR id) { state().menuChoice = id; }
const std::vector<PopupCall>& popupCalls() { return state().popupCalls; }
int liveMenuCount() { return static_cast<int>(state().menus.size()); }

}  // namespace portable::user

namespace win {

using portable::user::state;

BOOL GetCursorPos(POINT* lpPoint) {
  if (lpPoint == nullptr) return 0;
  *lpPoint = state().cursor;
  return 1;
}

HMENU CreatePopupMenu() {
  const auto handle = portable::user::newHandle();
  state().menus[handle] = portable::user::Menu{};
  return reinterpret_cast<HMENU>(handle);
}

BOOL AppendMenuW(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, const char16_t* lpNewItem) {
  const auto it = state().menus.find(reinterpret_cast<std::uintptr_t>(hMenu));
  if (it == state().menus.end()) return 0;
  std::u16string text;
  if ((uFlags & MF_SEPARATOR) == 0 && lpNewItem != nullptr) text = lpNewItem;
  it->second.entries.push_back({uFlags, uIDNewItem, text});
  return 1;
}

BOOL DestroyMenu(HMENU hMenu) { return state().menus.erase(reinterpret_cast<std::uintptr_t>(hMenu)) == 1; }

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const void*) {
  const auto it = state().menus.find(reinterpret_cast<std::uintptr_t>(hMenu));
  if (it == state().menus.end() || portable::user::findWindow(hWnd) == nullptr) return 0;
  state().popupCalls.push_back({hWnd, POINT{x, y}, uFlags, it->second.entries});
  const UINT_PTR choice = state().menuChoice;
  bool offered = false;
  for (const auto& e : it->second.entries)
    if ((e.flags & MF_SEPARATOR) == 0 && e.id == choice) offered = true;
  if ((uFlags & TPM_RETURNCMD) == 0) return 1;
  return offered ? static_cast<BOOL>(choice) : 0;
}

}  // namespace win
