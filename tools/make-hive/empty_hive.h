// The bytes of an empty registry hive file: a base block and one hive bin holding a
// security cell and the root key, laid out as the published hive format describes them.
// hivex needs such a file to start from before it can add anything.
#pragma once

#include <cstdint>
#include <string>

// `rootTime`: the root key's last-write time, a FILETIME count.
std::string emptyHiveBytes(std::uint64_t rootTime);
