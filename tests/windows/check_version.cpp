// Reads Kazerima.exe's version record back through Windows' own GetFileVersionInfoW and
// compares it with the project's identity. Prints each field; exits 1 on any mismatch.
//
//     check_version path\to\Kazerima.exe

#include "kazerima_version.h"
#include "text.h"

#include <cstdio>
#include <string>
#include <vector>
#include <windows.h>

namespace {

int failures = 0;

void expect(const char *field, const std::string &got, const std::string &wanted)
{
    std::printf("%-5s %s: '%s'\n", got == wanted ? "ok" : "FAIL", field, got.c_str());
    failures += got != wanted;
}

} // namespace

extern "C" int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    std::vector<char> record(GetFileVersionInfoSizeW(argv[1], nullptr));
    if (record.empty() || !GetFileVersionInfoW(argv[1], 0, DWORD(record.size()), record.data())) {
        std::printf("FAIL  no version record\n");
        return 1;
    }

    VS_FIXEDFILEINFO *fixed = nullptr;
    UINT size = 0;
    VerQueryValueW(record.data(), L"\\", reinterpret_cast<void **>(&fixed), &size);
    const std::string numeric = std::to_string(KAZERIMA_VERSION_MAJOR) + "."
        + std::to_string(KAZERIMA_VERSION_MINOR) + ".0.0";
    const auto dotted = [](DWORD high, DWORD low) {
        return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "."
            + std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
    };
    expect("FILEVERSION", dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS), numeric);
    expect("PRODUCTVERSION", dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS), numeric);

    WORD *translation = nullptr;
    VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                   reinterpret_cast<void **>(&translation), &size);
    char pair[32];
    std::snprintf(pair, sizeof pair, "%04X%04X", translation[0], translation[1]);
    expect("Translation", pair, "041104B0");

    const std::string name = KAZERIMA_NAME;
    const std::pair<const wchar_t *, std::string> strings[] = {
        {L"CompanyName", KAZERIMA_COMPANY},
        {L"FileVersion", KAZERIMA_VERSION},
        {L"InternalName", name},
        {L"OriginalFilename", name + ".exe"},
        {L"ProductName", name},
        {L"ProductVersion", KAZERIMA_VERSION},
    };
    for (const auto &[field, wanted] : strings) {
        const std::wstring path = L"\\StringFileInfo\\041104B0\\" + std::wstring(field);
        wchar_t *value = nullptr;
        const bool found
            = VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void **>(&value), &size);
        expect(toUtf8(field).c_str(), found ? toUtf8(value) : "(missing)", wanted);
    }
    return failures ? 1 : 0;
}
