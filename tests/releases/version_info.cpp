// Reads files' version resources the way Windows programs do (version.dll, ANSI forms, which
// every release from 95 on implements) and prints what it finds, one field a line:
//   <file>: <StringFileInfo name>=<value>    for each name the build sets
//   <file>: fixed file a.b.c.d product a.b.c.d os 0x........ type n
// Usage: version_info <file>...   Exit status 1 when a file has no readable version resource.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char* const kStringNames[] = {"CompanyName",      "FileDescription", "FileVersion",   "InternalName",
                                    "OriginalFilename", "ProductName",     "ProductVersion"};

const char* baseName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    }
    return name;
}

bool printVersionInfo(const char* path) {
    const char* name = baseName(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) {
        std::printf("%s: no version resource (error %lu)\n", name, GetLastError());
        return false;
    }
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(path, 0, size, block.data())) {
        std::printf("%s: GetFileVersionInfoA failed (error %lu)\n", name, GetLastError());
        return false;
    }

    // The first translation names the string table, as Explorer's property page reads it.
    void* value = nullptr;
    UINT length = 0;
    char root[] = "\\VarFileInfo\\Translation";
    if (!VerQueryValueA(block.data(), root, &value, &length) || length < 4) {
        std::printf("%s: no translation\n", name);
        return false;
    }
    WORD translation[2];
    std::memcpy(translation, value, sizeof translation);

    for (const char* field : kStringNames) {
        char query[96];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], field);
        if (VerQueryValueA(block.data(), query, &value, &length) && length > 0) {
            // length counts characters and may include the terminating zero.
            const char* text = static_cast<const char*>(value);
            std::printf("%s: %s=%.*s\n", name, field, static_cast<int>(strnlen(text, length)), text);
        } else {
            std::printf("%s: %s missing\n", name, field);
        }
    }

    char fixedRoot[] = "\\";
    if (!VerQueryValueA(block.data(), fixedRoot, &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
        std::printf("%s: no fixed file info\n", name);
        return false;
    }
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, value, sizeof fixed);
    std::printf("%s: fixed file %u.%u.%u.%u product %u.%u.%u.%u os 0x%08lx type %lu\n", name,
                HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS), HIWORD(fixed.dwFileVersionLS),
                LOWORD(fixed.dwFileVersionLS), HIWORD(fixed.dwProductVersionMS), LOWORD(fixed.dwProductVersionMS),
                HIWORD(fixed.dwProductVersionLS), LOWORD(fixed.dwProductVersionLS), fixed.dwFileOS,
                fixed.dwFileType);
    return fixed.dwSignature == 0xFEEF04BD;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (!printVersionInfo(argv[i])) status = 1;
    }
    return argc > 1 ? status : 64;
}
