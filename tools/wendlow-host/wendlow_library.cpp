#include "wendlow_library.h"

#include "platform/oleaut.h"
#include "platform/system.h"

namespace {

template <typename Fn>
bool resolve(win::HMODULE module, const char* name, Fn& slot, std::string& error) {
  slot = reinterpret_cast<Fn>(win::GetProcAddress(module, name));
  if (slot == nullptr) error = std::string("Wendlow does not export ") + name;
  return slot != nullptr;
}

}  // namespace

bool WendlowLibrary::load(std::string& error) {
  module_.reset(win::LoadLibraryW(u"Wendlow.dll"));
  if (!module_) {
    error = "cannot load the Wendlow library";
    return false;
  }
  win::HMODULE m = module_.get();
  WendlowExports& e = exports_;
  return resolve(m, "InitDetector", e.InitDetector, error) && resolve(m, "DeleteDetector", e.DeleteDetector, error) &&
         resolve(m, "FirstUninstallItem", e.FirstUninstallItem, error) &&
         resolve(m, "NextUninstallItem", e.NextUninstallItem, error) &&
         resolve(m, "getCurrentItemKey", e.getCurrentItemKey, error) &&
         resolve(m, "getCurrentItemStr", e.getCurrentItemStr, error) &&
         resolve(m, "getCurrentItemLong", e.getCurrentItemLong, error) &&
         resolve(m, "isInstalled", e.isInstalled, error) &&
         resolve(m, "isInstalledWildCard", e.isInstalledWildCard, error) &&
         resolve(m, "RefreshCache", e.RefreshCache, error) &&
         resolve(m, "SaveDetectorCache", e.SaveDetectorCache, error) &&
         resolve(m, "getDetectorMode", e.getDetectorMode, error);
}

std::u16string_view resultStringView(win::BSTR text) {
  return text == nullptr ? std::u16string_view() : std::u16string_view(text, win::SysStringLen(text));
}

std::u16string takeResultString(win::BSTR text) {
  platform::unique_bstr owner(text);
  return std::u16string(resultStringView(text));
}

DetectorSession::DetectorSession(const WendlowExports& exports, std::int32_t mode, const std::u16string* cachePath)
    : exports_(exports) {
  handle_ = exports_.InitDetector(mode, cachePath != nullptr ? cachePath->c_str() : nullptr, &status_);
}

DetectorSession::~DetectorSession() {
  if (handle_ != nullptr) exports_.DeleteDetector(handle_);
}

const std::vector<std::u16string> kListedProperties = {u"DisplayName", u"DisplayVersion", u"Publisher",
                                                       u"InstallDate", u"InstallLocation"};

void listUninstallEntries(const DetectorSession& session, TextRows& rows, const std::vector<std::u16string>& leading) {
  const WendlowExports& e = session.exports();
  WendlowHandle h = session.handle();
  auto addCell = [&rows](win::BSTR text) {
    platform::unique_bstr owner(text);
    rows.addCell(resultStringView(text));
  };
  e.FirstUninstallItem(h);
  while (true) {
    rows.addRow();
    for (const std::u16string& cell : leading) rows.addCell(cell);
    addCell(e.getCurrentItemKey(h));
    for (const std::u16string& property : kListedProperties) {
      const char16_t* name = property.c_str();
      addCell(e.getCurrentItemStr(h, &name));
    }
    if (e.NextUninstallItem(h) == 0) break;  // this reading was made at the end
  }
  rows.removeLastRow();
}
