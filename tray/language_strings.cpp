// Display strings: English defaults, replaced from the language file of the user's language.

#include "clsRegistry.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/user.h"
#include "program_info.h"
#include "text_rules.h"
#include "tray_form.h"

namespace tray {

namespace {

constexpr char16_t kDefaultProductName[] = u"Quorvel Utilities";

enum LanguageKey : int { kProductNameKey = 200, kRunScanCaptionKey, kCloseCaptionKey, kBalloonTitleKey, kBalloonTextKey };

// The key of a "NNN:text" line: its first three characters as a number, when they are
// three digits followed by a colon; otherwise -1.
int LineKey(const std::u16string& line) {
  if (line.size() < 4 || line[3] != u':') return -1;
  int key = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (line[i] < u'0' || line[i] > u'9') return -1;
    key = key * 10 + (line[i] - u'0');
  }
  return key;
}

}  // namespace

void frmHXTray::LoadLanguageStrings() {
  ProductName_ = kDefaultProductName;
  BalloonTitle_ = ProductName_ + u" Startup";
  BalloonText_ = u"Please click on the " + ProductName_ + u" tray icon to run your scheduled startup scan.";

  std::u16string referenceFolder;
  std::u16string language;
  {
    const clsRegistry registry;
    referenceFolder =
        TrimSpaces(registry.GetRegistryValue(kHiveLocalMachine, kProductPathKey, kReferenceFolderValue, u"", false)
                       .toText());
    language = TrimSpaces(
        registry.GetRegistryValue(kHiveCurrentUser, kLanguageKey, kDefaultLanguageValue, u"", false).toText());
  }
  if (referenceFolder.empty()) referenceFolder = platform::programDirectory() + u"\\ref";
  const std::u16string path = referenceFolder + u"\\" + language + u".ini";

  // A file that is missing or cannot be opened leaves the defaults.
  platform::TextFileReader reader(platform::toAnsi(path).c_str());
  if (!reader.isOpen()) return;

  std::string raw;
  // A failed read ends the loop like the end of the file does.
  while (!reader.atEnd() && reader.readLine(raw)) {
    const std::u16string line = platform::fromAnsi(raw);
    const std::u16string text = line.size() > 4 ? line.substr(4) : std::u16string();
    switch (LineKey(line)) {
      case kProductNameKey:
        ProductName_ = text;
        break;
      case kRunScanCaptionKey:
        if (auto item = FenMenuSysTray_->Menus().Item(TaggedValue::fromInteger16(2))) item->Caption(text);
        break;
      case kCloseCaptionKey:
        if (auto item = FenMenuSysTray_->Menus().Item(TaggedValue::fromInteger16(4))) item->Caption(text);
        break;
      case kBalloonTitleKey:
        BalloonTitle_ = text;
        break;
      case kBalloonTextKey:
        BalloonText_ = text;
        break;
      default:
        break;
    }
  }
}

}  // namespace tray
