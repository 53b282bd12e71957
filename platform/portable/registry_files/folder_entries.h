// The names in a folder, for finding a file whatever case its name is spelled in.
#pragma once

#include <string>
#include <vector>

namespace portable {

// The names of the entries of the open folder (not "." and ".."), in the order the file
// system lists them; empty when it cannot be read. The descriptor stays the caller's.
std::vector<std::string> folderEntries(int folder);

}  // namespace portable
