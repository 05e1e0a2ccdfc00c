// Bookmark files (".qbm", 460 bytes): a server address with the login and password to use there, and the
// "Servers" folder whose bookmarks the connect dialog offers in its menu.
#pragma once

#include <cstdint>
#include <vector>

struct TFileSysRefObj;

// What a bookmark holds; length-prefixed texts.
struct SMyBookmark
{
    uint8_t address[256];
    uint8_t login[33];
    uint8_t password[33];
};

// One bookmark of the folder: the title the menu shows and the file's real name.
struct SMyBookmarkItem
{
    uint8_t title[256];
    uint8_t fileName[256];
};

class UMyBookmarkFile
{
public:
    static constexpr uint32_t kSize = 460;
    static constexpr uint8_t kMaxLogin = 32;
    static constexpr uint8_t kMaxPassword = 32;
    // Length-prefixed: "Servers", ".qbm".
    static const uint8_t kFolderName[];
    static const uint8_t kExtension[];

    // outBytes holds kSize bytes. Login and password are cut to 32 characters.
    static void Encode(const uint8_t* address, const uint8_t* login, const uint8_t* password,
                       uint8_t* outBytes);
    // Raises 1/9 when the bytes end early, 1/8 for another kind of file, 1/7 for another version. A
    // length that runs past its field is cut to the field.
    static void Decode(const void* bytes, uint32_t size, SMyBookmark& outBookmark);

    // Replaces whatever file is there with a new bookmark.
    static void Save(TFileSysRefObj* file, const uint8_t* address, const uint8_t* login,
                     const uint8_t* password);
    static void Read(TFileSysRefObj* file, SMyBookmark& outBookmark);

    // A new reference to the "Servers" folder in the program's folder (which may not exist yet).
    static TFileSysRefObj* NewFolderRef();
    // The bookmark files of a folder, by title: a name ending in ".qbm" in any letter case loses it.
    // False when the folder is missing or cannot be listed.
    static bool List(TFileSysRefObj* folder, std::vector<SMyBookmarkItem>& outItems);
};
