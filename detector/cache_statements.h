// The cache database's tables and the statements that read and write them. Values are
// bound as parameters, never pasted into the text, so every name is stored as it is.
#pragma once

namespace cache_sql {

inline constexpr char16_t kVersion[] = u"2.0.0.1";

inline constexpr char16_t kDeletePluginCache[] = u"DELETE FROM plugincache";
inline constexpr char16_t kCreatePluginCache[] = u"CREATE TABLE plugincache (executable TEXT,uninstallkey TEXT)";
inline constexpr char16_t kDropPluginCache[] = u"DROP TABLE plugincache";

inline constexpr char16_t kDeleteCacheInfo[] = u"DELETE FROM cacheinfo";
inline constexpr char16_t kDropCacheInfo[] = u"DROP TABLE cacheinfo";
// One view (isWow64 clear) and two views (isWow64 set).
inline constexpr char16_t kCreateCacheInfo32[] =
    u"CREATE TABLE cacheinfo (version TEXT,installtime1 TEXT,installtime2 TEXT)";
inline constexpr char16_t kCreateCacheInfo64[] =
    u"CREATE TABLE cacheinfo (version TEXT,installtime1 TEXT,installtime2 TEXT,installtime64bit1 TEXT,"
    u"installtime64bit2 TEXT)";
inline constexpr char16_t kInsertCacheInfo32[] =
    u"insert into  cacheinfo(version,installtime1,installtime2) values (?,?,?)";
inline constexpr char16_t kInsertCacheInfo64[] =
    u"insert into  cacheinfo(version,installtime1,installtime2,installtime64bit1,installtime64bit2) values "
    u"(?,?,?,?,?)";

inline constexpr char16_t kInsertUninstallKey[] = u"insert into plugincache(uninstallkey) values (?)";
inline constexpr char16_t kInsertExecutable[] = u"insert into plugincache(executable) values (?)";

inline constexpr char16_t kSelectInstallTime1[] = u"select installtime1 from cacheinfo";
inline constexpr char16_t kSelectInstallTime2[] = u"select installtime2 from cacheinfo";
inline constexpr char16_t kSelectInstallTime64Bit1[] = u"select installtime64bit1 from cacheinfo";
inline constexpr char16_t kSelectInstallTime64Bit2[] = u"select installtime64bit2 from cacheinfo";
inline constexpr char16_t kSelectExecutables[] = u"select executable from plugincache where executable IS NOT NULL";
inline constexpr char16_t kSelectUninstallKeys[] =
    u"select uninstallkey from plugincache where uninstallkey  IS NOT NULL";

}  // namespace cache_sql
