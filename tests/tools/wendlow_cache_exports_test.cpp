// The installed checks and the cache through the exported functions, as a host calls them.
#include <gtest/gtest.h>

#include <utility>

#include "scratch_dir.h"
#include "sqlite_probe.h"
#include "test_registry.h"
#include "wendlow_library.h"

namespace {

class WendlowCacheExports : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = new WendlowLibrary;
    loaded_ = library_->load(loadError_);
  }
  static void TearDownTestSuite() {
    delete library_;
    library_ = nullptr;
  }
  void SetUp() override {
    ASSERT_TRUE(loaded_) << loadError_;
    testreg::removeAllTestKeys();
    for (const char16_t* name : {u"Alpha", u"Beta"}) {
      testreg::createKey(testreg::kUninstallPath, testreg::kTestPrefix + name);
    }
    testreg::createKey(testreg::kAppPathsPath, testreg::kTestPrefix + u"Tool.exe");
    // A cache is current only while every view's Uninstall key can be read.
    if (testreg::runsUnderWow64()) {
      testreg::createKey(testreg::kUninstallPath, testreg::kTestPrefix + u"Anchor64", testreg::View::Bits64);
    }
  }
  void TearDown() override { testreg::removeAllTestKeys(); }

  static const WendlowExports& e() { return library_->exports(); }

  // A detector that the test deletes with the library's own export.
  struct Detector {
    explicit Detector(WendlowHandle h) : handle(h) {}
    Detector(Detector&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    Detector(const Detector&) = delete;
    Detector& operator=(const Detector&) = delete;
    ~Detector() { e().DeleteDetector(handle); }
    WendlowHandle handle;
  };
  Detector init(std::int32_t mode) const {
    std::int32_t status = 0;
    const std::u16string path = cacheFile.u16string();
    Detector detector(e().InitDetector(mode, path.c_str(), &status));
    EXPECT_NE(nullptr, detector.handle);
    EXPECT_EQ(1, status);
    return detector;
  }
  static std::int16_t installed(WendlowHandle h, const std::u16string& name) {
    const char16_t* text = name.c_str();
    return e().isInstalled(h, &text);
  }
  static std::int16_t installedWildCard(WendlowHandle h, const std::u16string& pattern) {
    const char16_t* text = pattern.c_str();
    return e().isInstalledWildCard(h, &text);
  }
  static std::u16string key(const std::u16string& lowered) { return testreg::kTestKeyPrefix + lowered; }

  static WendlowLibrary* library_;
  static bool loaded_;
  static std::string loadError_;
  ScratchDir dir;
  std::filesystem::path cacheFile = dir.file("Cache.db");
};

WendlowLibrary* WendlowCacheExports::library_ = nullptr;
bool WendlowCacheExports::loaded_ = false;
std::string WendlowCacheExports::loadError_;

TEST_F(WendlowCacheExports, QueriesAnswerWithSixteenBitBooleans) {
  Detector d = init(1);
  EXPECT_EQ(-1, installed(d.handle, key(u"alpha")));
  EXPECT_EQ(-1, installed(d.handle, key(u"tool.exe")));
  EXPECT_EQ(0, installed(d.handle, key(u"Alpha")));
  EXPECT_EQ(-1, installedWildCard(d.handle, key(u"b*")));
  EXPECT_EQ(0, installedWildCard(d.handle, key(u"tool.exe")));
  // A null reference and a reference to null both count as the empty string.
  EXPECT_EQ(0, e().isInstalled(d.handle, nullptr));
  const char16_t* none = nullptr;
  EXPECT_EQ(0, e().isInstalledWildCard(d.handle, &none));
  EXPECT_EQ(0, e().isInstalled(nullptr, &none));
  EXPECT_EQ(-1, e().SaveDetectorCache(nullptr));
}

TEST_F(WendlowCacheExports, SavedCacheAnswersTheNextDetectorFromRecordedNames) {
  {
    Detector first = init(2);
    ASSERT_EQ(-1, installed(first.handle, key(u"alpha")));
    ASSERT_EQ(-1, installedWildCard(first.handle, key(u"b*")));
    ASSERT_EQ(1, e().SaveDetectorCache(first.handle));
    // Saving switched this detector to the recorded names too.
    EXPECT_EQ(0, installed(first.handle, key(u"tool.exe")));
  }
  Detector second = init(2);
  EXPECT_EQ(-1, installed(second.handle, key(u"alpha")));
  EXPECT_EQ(-1, installedWildCard(second.handle, key(u"b*")));
  EXPECT_EQ(0, installedWildCard(second.handle, key(u"be*")));
  EXPECT_EQ(0, installed(second.handle, key(u"beta"))) << "installed, but never asked for";
}

TEST_F(WendlowCacheExports, ModeScanNeverReadsTheCache) {
  {
    Detector first = init(2);
    installed(first.handle, key(u"alpha"));
    ASSERT_EQ(1, e().SaveDetectorCache(first.handle));
  }
  const auto before = probe::query(cacheFile, "SELECT uninstallkey FROM plugincache");
  Detector scan = init(1);
  EXPECT_EQ(-1, installed(scan.handle, key(u"beta"))) << "answered from a full scan";
  EXPECT_EQ(before, probe::query(cacheFile, "SELECT uninstallkey FROM plugincache"));
}

TEST_F(WendlowCacheExports, RefreshThenSaveWritesOnlyTheNamesFoundAfterIt) {
  Detector d = init(2);
  ASSERT_EQ(-1, installed(d.handle, key(u"alpha")));
  ASSERT_EQ(1, e().RefreshCache(d.handle));
  ASSERT_EQ(-1, installed(d.handle, key(u"tool.exe")));
  ASSERT_EQ(1, e().SaveDetectorCache(d.handle));
  EXPECT_EQ(std::vector<std::string>{"<null>"}, probe::query(cacheFile, "SELECT uninstallkey FROM plugincache"));
  EXPECT_EQ(std::vector<std::string>{"wendlowtest tool.exe"},
            probe::query(cacheFile, "SELECT executable FROM plugincache"));
}

TEST_F(WendlowCacheExports, SaveToAPlaceWithoutAFolderFails) {
  std::int32_t status = 0;
  const std::u16string path = dir.file16("no folder/Cache.db");
  Detector d(e().InitDetector(2, path.c_str(), &status));
  EXPECT_EQ(1, status);
  EXPECT_EQ(-1, e().SaveDetectorCache(d.handle));
}

}  // namespace
