// Display strings from the language file.
#include <string>

#include "tray_test_support.h"

namespace {

using portable::WindowsRelease;
using tray_test::TrayTest;
using tray_test::wideField;

constexpr char16_t kDefaultBalloonText[] =
    u"Please click on the Quorvel Utilities tray icon to run your scheduled startup scan.";

class LanguageStrings : public TrayTest {
 protected:
  void useLanguage(const std::u16string& name) {
    tray_test::setString(tray_test::HKCU, tray_test::kLanguageKey, u"Default", name);
  }
  // The captions the popup shows, after opening it once.
  std::vector<std::u16string> captions(tray::frmHXTray& form) {
    portable::user::sendMessage(form.hWnd(), win::WM_MOUSEMOVE, 0, 0x205);
    std::vector<std::u16string> texts;
    for (const auto& e : portable::user::popupCalls().back().entries) texts.push_back(e.text);
    return texts;
  }
  void expectDefaults(tray::frmHXTray& form) {
    EXPECT_EQ(form.ProductName(), u"Quorvel Utilities");
    EXPECT_EQ(form.BalloonTitle(), u"Quorvel Utilities Startup");
    EXPECT_EQ(form.BalloonText(), kDefaultBalloonText);
    EXPECT_EQ(captions(form), (std::vector<std::u16string>{u"Run Scan", u"", u"Close"}));
  }
};

TEST_F(LanguageStrings, AllFiveKeysReplaceTheirTexts) {
  useLanguage(u"German");
  writeFile("Quorvel/ref/German.ini",
            "200:Quorvel Werkzeuge\r\n201:Jetzt pr\xFC" "fen\r\n202:Schlie\xDF" "en\r\n"
            "203:Start\r\n204:Bitte klicken.\r\n");
  auto form = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(form->ProductName(), u"Quorvel Werkzeuge");
  EXPECT_EQ(form->BalloonTitle(), u"Start");
  EXPECT_EQ(form->BalloonText(), u"Bitte klicken.");
  EXPECT_EQ(captions(*form), (std::vector<std::u16string>{u"Jetzt pr\u00FCfen", u"", u"Schlie\u00DFen"}));
  // The sequence uses the replaced texts.
  const auto& balloon = calls()[2].w;
  EXPECT_EQ(wideField(balloon.szInfoTitle, 64), u"Start");
  EXPECT_EQ(wideField(balloon.szInfo, 256), u"Bitte klicken.");
  EXPECT_EQ(form->ToolTip(), u"Quorvel Werkzeuge");
}

TEST_F(LanguageStrings, LastLineOfAKeyWinsAndOtherLinesAreSkipped) {
  useLanguage(u"English");
  writeFile("Quorvel/ref/English.ini",
            "[Strings]\r\n203:First\r\n20\r\n\r\n"
            "abc:not a key\r\n199:below\r\n205:above\r\n2O3:letter O\r\n203 no colon\r\n"
            "203:Second\r\n202:Quit\r\n202:Exit\r\n");
  auto form = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(form->BalloonTitle(), u"Second");
  EXPECT_EQ(form->ProductName(), u"Quorvel Utilities");
  EXPECT_EQ(form->BalloonText(), kDefaultBalloonText);
  EXPECT_EQ(captions(*form), (std::vector<std::u16string>{u"Run Scan", u"", u"Exit"}));
}

TEST_F(LanguageStrings, OddLinesAreSkippedAndTheReadingGoesOn) {
  useLanguage(u"Odd");
  std::string bytes = "204\r\n";                                   // the key without its colon
  bytes += "200=no colon, and no later line of its key\r\n";
  bytes += std::string("\x00\x01\xFF\x80\x81" "202:binary\r\n", 17);  // binary before a key
  bytes += std::string("20\0:null among the digits\r\n", 27);
  bytes += "203:" + std::string(1 << 20, 'L') + "\r\n";              // a very long line
  bytes += "\r\r\n\n";                                             // empty lines of each kind
  bytes += std::string("201:Run\0Scan\r\n", 14);
  bytes += "202:End";  // the last line has no break
  writeFile("Quorvel/ref/Odd.ini", bytes);
  auto form = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(form->BalloonTitle(), std::u16string(1 << 20, u'L'));
  EXPECT_EQ(form->BalloonText(), kDefaultBalloonText);
  EXPECT_EQ(form->ProductName(), u"Quorvel Utilities");
  EXPECT_EQ(wideField(calls()[2].w.szInfoTitle, 64), std::u16string(63, u'L'));
  // A caption is shown up to a null character it may hold.
  EXPECT_EQ(captions(*form), (std::vector<std::u16string>{u"Run", u"", u"End"}));
}

TEST_F(LanguageStrings, ProductNameDoesNotChangeTheBalloon) {
  useLanguage(u"English");
  writeFile("Quorvel/ref/English.ini", "200:Other Name\n");  // LF alone works too
  auto form = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(form->ProductName(), u"Other Name");
  EXPECT_EQ(form->BalloonTitle(), u"Quorvel Utilities Startup");
  EXPECT_EQ(form->BalloonText(), kDefaultBalloonText);
}

TEST_F(LanguageStrings, EmptyTextsAreTakenAsTheyAre) {
  useLanguage(u"Short");
  writeFile("Quorvel/ref/Short.ini", "204:\r\n200:\r\n");
  auto form = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(form->BalloonText(), u"");
  EXPECT_EQ(form->ProductName(), u"");
  // The wide tip keeps the file description the add step put there.
  EXPECT_EQ(form->ToolTip(), u"Quorvel Utilities Startup Tray");

  portable::shell::reset();
  auto narrow = loadForm(WindowsRelease::Win98);
  EXPECT_EQ(narrow->ToolTip(), u"") << "the narrow tip becomes empty";
}

TEST_F(LanguageStrings, ReferenceFolderComesFromTheRegistryTrimmed) {
  tray_test::setString(tray_test::HKLM, tray_test::kPathKey, u"RefFile", u"  C:\\Lang  ");
  useLanguage(u"  Dutch ");
  writeFile("Lang/Dutch.ini", "201:Scan starten\r\n");
  writeFile("Quorvel/ref/Dutch.ini", "201:wrong folder\r\n");
  auto form = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(captions(*form)[0], u"Scan starten");
}

TEST_F(LanguageStrings, WithoutRefFileTheProgramsRefFolderIsUsed) {
  useLanguage(u"French");
  writeFile("Quorvel/ref/French.ini", "202:Fermer\r\n");
  auto form = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(captions(*form)[2], u"Fermer");
}

TEST_F(LanguageStrings, WithoutLanguageOnlyTheNamelessFileCounts) {
  writeFile("Quorvel/ref/English.ini", "200:Not used\r\n");
  auto form = loadForm(WindowsRelease::Win7);
  expectDefaults(*form);

  writeFile("Quorvel/ref/.ini", "200:Nameless\r\n");
  portable::shell::reset();
  auto second = loadForm(WindowsRelease::Win7);
  EXPECT_EQ(second->ProductName(), u"Nameless");
}

TEST_F(LanguageStrings, MissingFileKeepsTheDefaults) {
  useLanguage(u"Klingon");
  auto form = loadForm(WindowsRelease::Win7);
  expectDefaults(*form);
}

TEST_F(LanguageStrings, UnreadableFileEndsTheReadingWithoutChanges) {
  useLanguage(u"English");
  writeFile("Quorvel/ref/English.ini", "200:Not read\r\n204:Not read\r\n");
  portable::FileFaults faults;
  faults.failReadsAfterBytes = 0;
  portable::setFileFaults(faults);
  auto form = loadForm(WindowsRelease::Win7);
  portable::clearFileFaults();
  expectDefaults(*form);
}

TEST_F(LanguageStrings, FolderInPlaceOfTheFileEndsTheReading) {
  useLanguage(u"English");
  std::filesystem::create_directories(drive_ / "Quorvel" / "ref" / "English.ini");
  auto form = loadForm(WindowsRelease::Win7);
  expectDefaults(*form);
}

}  // namespace
