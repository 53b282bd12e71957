// Fixed names and texts of the tray program.
#pragma once

// HXTRAY_FILE_DESCRIPTION comes from the build, which writes the same text into the
// version resource.
#ifndef HXTRAY_FILE_DESCRIPTION
#error "HXTRAY_FILE_DESCRIPTION is defined by the build"
#endif

namespace tray {

// The application title is the file description; a refused second instance renames itself.
inline constexpr char16_t kFileDescription[] = u"" HXTRAY_FILE_DESCRIPTION;
inline constexpr char16_t kApplicationTitle[] = u"" HXTRAY_FILE_DESCRIPTION;
inline constexpr char16_t kUnwantedInstanceTitle[] = u"unwanted instance";

inline constexpr char kMutexName[] = "TaldrinQuorvelUtilitiesSysTray";

// Registry locations the tray reads.
inline constexpr char16_t kProductPathKey[] = u"Software\\Taldrin\\Quorvel Utilities 14\\Path";
inline constexpr char16_t kLanguageKey[] = u"Software\\Taldrin\\Quorvel Utilities 14\\Language";
inline constexpr char16_t kSystemPolicyKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

inline constexpr char16_t kMainProgramValue[] = u"QuorvelUtilities";
inline constexpr char16_t kReferenceFolderValue[] = u"RefFile";
inline constexpr char16_t kDefaultLanguageValue[] = u"Default";
inline constexpr char16_t kEnableLuaValue[] = u"EnableLUA";

}  // namespace tray
