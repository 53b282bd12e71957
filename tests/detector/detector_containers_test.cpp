// cDetector's containers, their ownership, and the cursor over the Uninstall entries.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "detector.h"

namespace {

// Records that note their own destruction.
struct DestructionLog {
  std::vector<std::u16string> order;
};

class LoggedInstalledItem : public AppInstalledItem {
 public:
  LoggedInstalledItem(DestructionLog& log, std::u16string tag) : log_(log), tag_(std::move(tag)) {}
  ~LoggedInstalledItem() override { log_.order.push_back(u"uninstall:" + tag_); }

 private:
  DestructionLog& log_;
  std::u16string tag_;
};

class LoggedPathItem : public AppPathItem {
 public:
  LoggedPathItem(DestructionLog& log, std::u16string tag) : log_(log), tag_(std::move(tag)) {}
  ~LoggedPathItem() override { log_.order.push_back(u"path:" + tag_); }

 private:
  DestructionLog& log_;
  std::u16string tag_;
};

std::unique_ptr<AppInstalledItem> named(const std::u16string& displayName) {
  auto item = std::make_unique<AppInstalledItem>();
  item->setValue(u"DisplayName", displayName);
  return item;
}

std::u16string key(const cDetector& detector) {
  std::u16string text = u"(untouched)";
  detector.currentKey(text);
  return text;
}

TEST(DetectorConstruction, StartsEmptyInScanModeWithTheCursorAtTheEnd) {
  cDetector detector;
  EXPECT_TRUE(detector.uninstallItems.empty());
  EXPECT_TRUE(detector.appPathItems.empty());
  EXPECT_TRUE(detector.cachedExecutables.empty());
  EXPECT_TRUE(detector.cachedUninstallKeys.empty());
  EXPECT_EQ(detector.mode, ModeScan);
  EXPECT_EQ(detector.cachePath, u"");
  EXPECT_EQ(detector.lastWriteTime32.dwLowDateTime, 0u);
  EXPECT_EQ(detector.lastWriteTime32.dwHighDateTime, 0u);
  EXPECT_EQ(detector.lastWriteTime64.dwLowDateTime, 0u);
  EXPECT_EQ(detector.lastWriteTime64.dwHighDateTime, 0u);
  EXPECT_TRUE(detector.currentItem == detector.uninstallItems.end());
  EXPECT_EQ(detector.isWow64, cDetector::detectWow64());
}

TEST(DetectorCursor, EmptyDetectorHasNoCurrentEntry) {
  cDetector detector;
  EXPECT_FALSE(detector.nextItem()) << "before firstItem";
  detector.firstItem();
  EXPECT_FALSE(detector.nextItem());
  std::u16string text = u"(untouched)";
  EXPECT_FALSE(detector.currentKey(text));
  EXPECT_EQ(text, u"");
  text = u"(untouched)";
  EXPECT_FALSE(detector.currentValue(u"DisplayName", text));
  EXPECT_EQ(text, u"");
}

TEST(DetectorCursor, WalksTwoEntriesAndReportsTheStepOntoTheEnd) {
  cDetector detector;
  detector.insertUninstallItem(u"b", named(u"Beta"));
  detector.insertUninstallItem(u"a", named(u"Alpha"));

  detector.firstItem();
  EXPECT_EQ(key(detector), u"a");
  std::u16string value;
  EXPECT_TRUE(detector.currentValue(u"DisplayName", value));
  EXPECT_EQ(value, u"Alpha");

  EXPECT_TRUE(detector.nextItem());
  EXPECT_EQ(key(detector), u"b");

  EXPECT_TRUE(detector.nextItem()) << "the step onto the end still counts as a move";
  EXPECT_EQ(key(detector), u"");
  EXPECT_FALSE(detector.currentValue(u"DisplayName", value));
  EXPECT_EQ(value, u"");

  EXPECT_FALSE(detector.nextItem());
  EXPECT_FALSE(detector.nextItem());

  detector.firstItem();
  EXPECT_EQ(key(detector), u"a") << "firstItem starts over";
}

TEST(DetectorCursor, CurrentValueOfAnUnknownOrMiscasedNameIsEmptyButTheEntryExists) {
  cDetector detector;
  detector.insertUninstallItem(u"a", named(u"Alpha"));
  detector.firstItem();
  std::u16string value = u"(untouched)";
  EXPECT_TRUE(detector.currentValue(u"displayname", value));
  EXPECT_EQ(value, u"");
  EXPECT_TRUE(detector.currentValue(u"UninstallString", value));
  EXPECT_EQ(value, u"");
}

TEST(DetectorCursor, EnumeratesInCodeUnitOrder) {
  cDetector detector;
  for (const char16_t* k : {u"foobar", u"foo bar", u"Ärger", u"foo"}) detector.insertUninstallItem(k, named(k));
  std::vector<std::u16string> seen;
  detector.firstItem();
  do {
    std::u16string k;
    if (detector.currentKey(k)) seen.push_back(k);
  } while (detector.nextItem());
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"foo", u"foo bar", u"foobar", u"Ärger"}));
}

TEST(DetectorContainers, FirstInsertWinsAndTheRejectedRecordIsDestroyed) {
  DestructionLog log;
  cDetector detector;
  detector.insertUninstallItem(u"lumoraplayer", std::make_unique<LoggedInstalledItem>(log, u"first"));
  detector.insertUninstallItem(u"lumoraplayer", std::make_unique<LoggedInstalledItem>(log, u"second"));
  EXPECT_EQ(log.order, std::vector<std::u16string>{u"uninstall:second"});
  ASSERT_EQ(detector.uninstallItems.size(), 1u);

  detector.insertAppPathItem(u"lumora.exe", std::make_unique<LoggedPathItem>(log, u"first"));
  detector.insertAppPathItem(u"lumora.exe", std::make_unique<LoggedPathItem>(log, u"second"));
  EXPECT_EQ(log.order, (std::vector<std::u16string>{u"uninstall:second", u"path:second"}));
  EXPECT_EQ(detector.appPathItems.size(), 1u);
}

TEST(DetectorContainers, EmptyingAMapDestroysItsRecordsAndParksTheCursor) {
  DestructionLog log;
  cDetector detector;
  detector.insertUninstallItem(u"a", std::make_unique<LoggedInstalledItem>(log, u"a"));
  detector.insertAppPathItem(u"a.exe", std::make_unique<LoggedPathItem>(log, u"a.exe"));
  detector.firstItem();

  detector.deleteUninstallItems();
  EXPECT_EQ(log.order, std::vector<std::u16string>{u"uninstall:a"});
  EXPECT_TRUE(detector.uninstallItems.empty());
  EXPECT_TRUE(detector.currentItem == detector.uninstallItems.end());
  EXPECT_FALSE(detector.nextItem());

  detector.deleteAppPathItems();
  EXPECT_EQ(log.order, (std::vector<std::u16string>{u"uninstall:a", u"path:a.exe"}));
  EXPECT_TRUE(detector.appPathItems.empty());
}

TEST(DetectorContainers, DestructionFreesAppPathRecordsBeforeUninstallRecords) {
  DestructionLog log;
  {
    cDetector detector;
    detector.insertUninstallItem(u"a", std::make_unique<LoggedInstalledItem>(log, u"a"));
    detector.insertUninstallItem(u"b", std::make_unique<LoggedInstalledItem>(log, u"b"));
    detector.insertAppPathItem(u"a.exe", std::make_unique<LoggedPathItem>(log, u"a.exe"));
  }
  ASSERT_EQ(log.order.size(), 3u);
  EXPECT_EQ(log.order[0], u"path:a.exe");
  EXPECT_EQ(log.order[1].substr(0, 10), u"uninstall:");
  EXPECT_EQ(log.order[2].substr(0, 10), u"uninstall:");
}

TEST(DetectorContainers, RecordedNamesAreKeptOnceAndClearedTogether) {
  cDetector detector;
  detector.recordUninstallKey(u"foo bar");
  detector.recordUninstallKey(u"foo*");
  detector.recordUninstallKey(u"foo bar");
  detector.recordExecutable(u"foo.exe");
  detector.recordExecutable(u"foo.exe");
  EXPECT_EQ(detector.cachedUninstallKeys, (cDetector::StringSet{u"foo bar", u"foo*"}));
  EXPECT_EQ(detector.cachedExecutables, (cDetector::StringSet{u"foo.exe"}));
  detector.clearCachedSets();
  EXPECT_TRUE(detector.cachedUninstallKeys.empty());
  EXPECT_TRUE(detector.cachedExecutables.empty());
}

}  // namespace
