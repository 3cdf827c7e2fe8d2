// Wine tests of what Windows reads of ondulor.exe: its version information as the file properties show it
// (the fixed numbers, the French and English blocks, their agreement with the about box) and its manifest.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ondulor_version.h"
#include "res/resource_ids.h"
#include "win_support.h"

namespace {

// The exe under test: ONDULOR_EXE when set (the packaging script points it at the stripped copy in
// the zip), else the game of this build.
std::string game_path()
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("ONDULOR_EXE", path, sizeof path);
    if (length > 0 && length < sizeof path) {
        return path;
    }
    return wine_path(ONDULOR_EXE_PATH);
}

// The exe's whole version block as GetFileVersionInfoA gives it; empty when it has none.
std::vector<char> version_block()
{
    std::string path = game_path();
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        block.clear();
    }
    return block;
}

// One value of a language block, or a note naming what is missing (so a failure says which).
std::string version_string(std::vector<char>& block, const char* language, const char* name)
{
    std::string query = std::string("\\StringFileInfo\\") + language + "\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), query.c_str(), &value, &length) || value == nullptr) {
        return "<no " + query + ">";
    }
    return static_cast<const char*>(value);
}

TEST(VersionInfo, FixedNumbersAreTheProjectVersionAndTheTranslationsFrenchAndEnglish)
{
    std::vector<char> block = version_block();
    ASSERT_FALSE(block.empty()) << "no version information in " << game_path();
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const VS_FIXEDFILEINFO& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    const DWORD high = MAKELONG(ONDULOR_VERSION_MINOR, ONDULOR_VERSION_MAJOR);
    const DWORD low = MAKELONG(ONDULOR_VERSION_TWEAK, ONDULOR_VERSION_PATCH);
    EXPECT_EQ(fixed.dwFileVersionMS, high);
    EXPECT_EQ(fixed.dwFileVersionLS, low);
    EXPECT_EQ(fixed.dwProductVersionMS, high);
    EXPECT_EQ(fixed.dwProductVersionLS, low);
    EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed.dwFileFlags & fixed.dwFileFlagsMask, 0u) << "marked debug, pre-release or patched";

    // Both blocks in Windows-1252.
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4 * sizeof(WORD));
    const WORD* pairs = static_cast<const WORD*>(value);
    EXPECT_EQ(pairs[0], 0x040C);
    EXPECT_EQ(pairs[1], 1252);
    EXPECT_EQ(pairs[2], 0x0409);
    EXPECT_EQ(pairs[3], 1252);
}

TEST(VersionInfo, EachLanguageBlockNamesTheGameAndItsVersion)
{
    struct Case {
        const char* block;
        const char* description;
    };
    // The French accent checks the resource compiler's code page: a UTF-8 reading would give two bytes.
    const Case cases[] = {
        {"040C04E4", "Ondulor, casse-t\352te de tuyaux contre la montre"},
        {"040904E4", "Ondulor, a pipe-laying puzzle against the clock"},
    };
    std::vector<char> block = version_block();
    ASSERT_FALSE(block.empty()) << "no version information in " << game_path();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(version_string(block, c.block, "ProductName"), "Ondulor");
        EXPECT_EQ(version_string(block, c.block, "FileDescription"), c.description);
        EXPECT_EQ(version_string(block, c.block, "FileVersion"), ONDULOR_VERSION_TEXT);
        EXPECT_EQ(version_string(block, c.block, "ProductVersion"), ONDULOR_VERSION_TEXT);
        EXPECT_EQ(version_string(block, c.block, "OriginalFilename"), "ondulor.exe");
        EXPECT_EQ(version_string(block, c.block, "LegalCopyright"), "\251 Ondulor Games");
    }
}

// The about box's text is written by hand in texts.inc: a new project version without it fails here.
TEST(VersionInfo, AgreesWithTheAboutBoxInBothLanguages)
{
    std::string path = game_path();
    HMODULE game = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(game, nullptr) << "cannot load " << path;
    for (int language : {0, LANGUAGE_ENGLISH}) {
        char text[64] = "";
        LoadStringA(game, TXT_ABOUT_VERSION + language, text, sizeof text);
        EXPECT_EQ(std::string(text), "Ondulor\nVersion " ONDULOR_VERSION_TEXT) << "language offset " << language;
    }
    FreeLibrary(game);
}

// Without it Windows treats the game as a program of an older system: old-style controls,
// compatibility shims, and on a scaled screen the whole window stretched into a blur.
TEST(VersionInfo, ManifestAsksForCommonControls6OnWindows10AndPerMonitorDpiAwareness)
{
    HMODULE game = LoadLibraryExA(game_path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(game, nullptr) << "cannot load " << game_path();
    HRSRC found = FindResourceA(game, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr) << "no manifest in " << game_path();
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(game, found))),
                               SizeofResource(game, found));
    FreeLibrary(game);
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
                             "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                             "PerMonitorV2, PerMonitor<",
                             "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm<"}) {
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(manifest.find("gdiScaling"), std::string::npos) << "it serves only programs unaware of the DPI";
}

}  // namespace
