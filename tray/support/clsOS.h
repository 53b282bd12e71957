// Which Windows runs: family, release, a display name and a build text. Every question asks the
// version query afresh; the two texts are composed once, on construction.
#pragma once

#include <cstdint>
#include <string>

namespace tray {

class clsOS {
 public:
  clsOS();

  bool isNT() const;        // the NT family, any release
  bool is9x() const;        // 95, 98 or ME
  bool isWinVista() const;  // NT 6.0
  bool isWinXP() const;     // NT 5.1 or 5.2
  bool isWin2k() const;     // NT 5.0, or NT 4
  bool isWinNT() const;     // the same answer as isNT
  bool isWinME() const;
  bool isWin98() const;  // true on ME as well
  bool isWin95() const;
  const std::u16string& GetWindowsName() const { return sWindowsName; }
  const std::u16string& GetWindowsBuild() const { return sWindowsBuild; }

 private:
  std::int32_t GetVersionCode() const;
  void LoadVersionStrings();

  std::u16string sWindowsName;
  std::u16string sWindowsBuild;
};

}  // namespace tray
