// A thousand detector lifecycles through the exports, as a host drives them, lose no memory.
// Built only with the sanitizers: LeakSanitizer does the counting.
#include <gtest/gtest.h>
#include <sanitizer/lsan_interface.h>

#include "scratch_dir.h"
#include "test_registry.h"
#include "wendlow_library.h"

namespace {

TEST(WendlowLifecycle, AThousandLifecyclesLoseNothing) {
  WendlowLibrary library;
  std::string error;
  ASSERT_TRUE(library.load(error)) << error;
  const WendlowExports& e = library.exports();
  testreg::removeAllTestKeys();
  for (const char16_t* name : {u"Alpha", u"Beta"}) {
    testreg::createKey(testreg::kUninstallPath, testreg::kTestPrefix + name);
  }
  ScratchDir dir;
  const std::u16string cachePath = dir.file16("Cache.db");
  const std::u16string alpha = testreg::kTestKeyPrefix + u"alpha";
  const std::u16string pattern = testreg::kTestKeyPrefix + u"b*";

  for (int cycle = 0; cycle < 1000; ++cycle) {
    // The first start scans; the later ones start from the cache the previous one saved.
    DetectorSession session(e, 2, &cachePath);
    ASSERT_EQ(1, session.status());
    const char16_t* name = alpha.c_str();
    const char16_t* wildcard = pattern.c_str();
    ASSERT_EQ(-1, e.isInstalled(session.handle(), &name));
    ASSERT_EQ(-1, e.isInstalledWildCard(session.handle(), &wildcard));
    ASSERT_EQ(1, e.SaveDetectorCache(session.handle()));
    ASSERT_FALSE(listUninstallEntries(session).empty());
    ASSERT_EQ(1, e.RefreshCache(session.handle()));
    ASSERT_FALSE(listUninstallEntries(session).empty());
  }
  testreg::removeAllTestKeys();
  EXPECT_EQ(0, __lsan_do_recoverable_leak_check()) << "LeakSanitizer's report is above";
}

}  // namespace
