// Local files and folders: references, the resolving of names and server paths into local paths, contents,
// listings, and the flattened form in which files travel to and from servers.
//
// Names handed in and out are Mac OS Roman bytes (length-prefixed where marked); paths on disk are UTF-8.
// Shortcuts are symbolic links. A reference made from a server path record is confined to its base
// folder: nothing opened, created or removed through it (or its clones) may lie outside that folder, and
// a link that leads outside it counts as broken.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/runtime/UDateTime.h"
#include "framework/runtime/UMemory.h"

struct TFileSysRefObj;

// Special base folders, passed in place of a folder reference.
inline TFileSysRefObj* const kFSRootFolder = reinterpret_cast<TFileSysRefObj*>(intptr_t(-1));
// The program's folder for user files: $XDG_DATA_HOME/Quenvol (created on first use).
inline TFileSysRefObj* const kFSProgramFolder = reinterpret_cast<TFileSysRefObj*>(intptr_t(-2));
inline TFileSysRefObj* const kFSTempFolder = reinterpret_cast<TFileSysRefObj*>(intptr_t(-3));
inline TFileSysRefObj* const kFSProgramFolderAlt = reinterpret_cast<TFileSysRefObj*>(intptr_t(-4));

// Options of New.
enum : uint32_t
{
    kFSNullIfNoParent = 0x001,
    kFSNullIfMissing = 0x002,
    kFSNullIfExists = 0x004,
    kFSNullIfNotFile = 0x008,
    kFSNullIfNotFolder = 0x010,
    kFSFailIfMissing = 0x020,
    kFSFailIfExists = 0x040,
    kFSFailIfNotFile = 0x080,
    kFSFailIfNotFolder = 0x100,
    kFSResolveAlias = 0x200,
};

// Kinds reported by New.
enum : uint32_t
{
    kFSKindNoParent = 0,
    kFSKindMissing = 1,
    kFSKindFile = 2,
    kFSKindFolder = 3,
    kFSKindAliasToFile = 4,
    kFSKindAliasToFolder = 5,
    kFSKindBrokenAlias = 6,
};

// Permissions of Open: access in the low bits, sharing in bits 4-7. Linux has no share modes, so the
// sharing bits are accepted and others may always read and write.
enum : uint32_t
{
    kFSPermRead = 0x01,
    kFSPermWrite = 0x02,
    kFSPermReadWrite = 0x03,
    kFSShareWrite = 0x10,
    kFSShareRead = 0x20,
    kFSShareExclusive = 0x30,
};

// The longest path a reference may hold.
inline constexpr uint32_t kFSMaxPathSize = 4096;

class UFileSys
{
public:
    // base: a folder reference or one of the special folders. relativePath: length-prefixed folder names
    // separated by carriage returns (may be null). name: length-prefixed (may be null). outKind: see above.
    // Returns null where an option asks for it.
    static TFileSysRefObj* New(TFileSysRefObj* base, const uint8_t* relativePath, const uint8_t* name,
                               uint32_t options = 0, uint32_t* outKind = nullptr);
    // A server path record below base; without a name the record's last level is the name. Bad names
    // raise 4/119, folders that are missing or lead outside base 4/104 (null with 0x001 or 0x002).
    static TFileSysRefObj* New(TFileSysRefObj* base, const void* pathRecord, uint32_t pathSize,
                               const uint8_t* name, uint32_t options, uint32_t* outKind);
    // A native (UTF-8) path as the command line gives it; relative paths start at the working folder.
    // Matches UApplication::DocumentRefProc.
    static TFileSysRefObj* NewFromNativePath(const char* path, uint32_t size);
    [[noreturn]] static TFileSysRefObj* NewTemp();
    static TFileSysRefObj* Clone(TFileSysRefObj* ref);
    static void SetRef(TFileSysRefObj* ref, TFileSysRefObj* other);
    static void Dispose(TFileSysRefObj* ref);

    // outName holds at least 256 bytes; receives a length-prefixed name.
    static void GetName(TFileSysRefObj* ref, uint8_t* outName);
    static void SetRefName(TFileSysRefObj* ref, const uint8_t* name);
    static void SetName(TFileSysRefObj* ref, const uint8_t* name);
    // name may be null to keep the item's name. An item of that name in the folder raises 4/115.
    static void MoveAndRename(TFileSysRefObj* ref, TFileSysRefObj* folder, const uint8_t* name);
    // Puts the item of ref in the place of target's item in one step, so that whoever looks finds either
    // the old item or the new one, never neither; ref then refers to that place.
    static void Replace(TFileSysRefObj* ref, TFileSysRefObj* target);
    static bool Exists(TFileSysRefObj* ref, bool* outIsFolder = nullptr);
    // A file whose bytes can be read to their end: not a folder, device, pipe or socket (opening a pipe
    // would wait for a writer).
    static bool IsPlainFile(TFileSysRefObj* ref);
    // The native (UTF-8) path, for the platform's own services such as dialogs.
    static std::string GetNativePath(TFileSysRefObj* ref);

    // Writes the file `name` (length-prefixed) in `folder` so that it is never found half written: `write`
    // fills "<name>.new" beside it (open for reading and writing), which is flushed to the disk and then
    // put in the file's place in one step. When anything fails the temporary file goes, the error is
    // raised and the file keeps what it held; a temporary file an earlier write left is removed first.
    static void SaveSafely(TFileSysRefObj* folder, const uint8_t* name, uint32_t type, uint32_t creator,
                           const std::function<void(TFileSysRefObj* file)>& write);
    static void CreateFile(TFileSysRefObj* ref, uint32_t type, uint32_t creator);
    static void CreateFolder(TFileSysRefObj* ref);
    static void DeleteFile(TFileSysRefObj* ref);
    static void DeleteFolder(TFileSysRefObj* ref);

    static void Open(TFileSysRefObj* ref, uint32_t permission);
    static void Close(TFileSysRefObj* ref);
    static bool IsOpen(TFileSysRefObj* ref);
    static uint32_t Read(TFileSysRefObj* ref, uint64_t offset, void* buffer, uint32_t size);
    static uint32_t Write(TFileSysRefObj* ref, uint64_t offset, const void* bytes, uint32_t size);
    static uint64_t GetSize(TFileSysRefObj* ref, uint32_t fork = 0);
    static void SetSize(TFileSysRefObj* ref, uint64_t size);
    // Returns once what was written to the open file is on the disk.
    static void Flush(TFileSysRefObj* ref);
    static void SetComment(TFileSysRefObj* ref, const void* text, uint32_t size, uint32_t options = 0);
    static void GetTypeAndCreatorCode(TFileSysRefObj* ref, uint32_t& outType, uint32_t& outCreator);
    // The codes of a file of that name (bytes of the last path component).
    static void GetTypeAndCreatorFromName(const void* name, uint32_t length, uint32_t& outType,
                                          uint32_t& outCreator);

    // Rewrites the name in place so that it can be a local file name; returns the new length, which also
    // keeps the name's form on the disk within the 255 bytes a name may have there.
    static uint32_t ValidateFileName(void* name, uint32_t length, uint32_t options = 0);
    // Cuts a length-prefixed name at its end until its form on the disk and `reserve` bytes more fit one
    // name there; true when it was cut.
    static bool FitFileName(uint8_t* name, uint32_t reserve);
    // The last level of a server path record as a length-prefixed name cut to capacity - 1 bytes; false
    // (and an empty name) when the record names nothing or is malformed.
    static bool GetPathTargetName(const void* path, uint32_t pathSize, uint8_t* outName, uint32_t capacity);
    // The size of the record's first levelCount levels (2 plus their sizes), never past pathSize.
    static uint32_t GetPathSize(const void* path, uint32_t pathSize, uint32_t levelCount);

    static THdlObj* GetListing(TFileSysRefObj* folder);
    // outName holds at least 256 bytes (length-prefixed). Any output may be null.
    static bool GetListNext(THdlObj* listing, uint32_t& ioPosition, uint8_t* outName, uint32_t* outType,
                            uint32_t* outCreator, uint32_t* outSize, SDateTimeStamp* outCreated,
                            SDateTimeStamp* outModified, uint32_t* outFlags);

    // The dialogs belong to the window toolkit, which installs them. The procedures return false when the
    // user cancels, else the chosen native path. Without them both operations raise 4/110.
    using SelectFileProc = bool (*)(const uint32_t* types, uint32_t count, std::string& outPath);
    using SaveFileProc = bool (*)(const uint8_t* suggestedName, const uint8_t* prompt,
                                  const std::string& initialFolder, std::string& outPath);
    static void SetDialogProcs(SelectFileProc select, SaveFileProc save);
    static TFileSysRefObj* UserSelectFile(const uint32_t* types, uint32_t count);
    static TFileSysRefObj* UserSaveFile(const uint8_t* suggestedName, const uint8_t* prompt,
                                        TFileSysRefObj* initialFolder = nullptr);

    // The flattened form. Files of 4 GiB or more cannot be carried: starting raises 1/10.
    static void StartFlatten(TFileSysRefObj* ref);
    static void ResumeFlatten(TFileSysRefObj* ref, const void* record, uint32_t size);
    static uint32_t GetFlattenSize(TFileSysRefObj* ref);
    static uint32_t ProcessFlatten(TFileSysRefObj* ref, void* buffer, uint32_t size);
    static bool IsFlattening(TFileSysRefObj* ref);
    static void StartUnflatten(TFileSysRefObj* ref);
    // Makes the file (raising 115 when anything is there) and starts the unflatten into it, with one open.
    static void CreateAndStartUnflatten(TFileSysRefObj* ref);
    // A stream that is in hand whole goes into a file that has no name yet, in the folder the reference
    // names its item in; NameUnflattened gives it that name once the stream is complete (raising 115 when
    // the name was taken meanwhile) and ends the unflatten. Stopped before, the file goes with its last
    // descriptor: nothing is left behind and nothing is there to resume. False where the file system makes
    // no such files; the caller then makes the file itself.
    static bool StartUnflattenUnnamed(TFileSysRefObj* ref);
    static void NameUnflattened(TFileSysRefObj* ref);
    // Returns a new 58-byte resume record that the caller owns and sends.
    static THdlObj* ResumeUnflatten(TFileSysRefObj* ref);
    // True when the bytes so far end exactly at the end of a fork (the stream may be complete).
    static bool ProcessUnflatten(TFileSysRefObj* ref, const void* bytes, uint32_t size);
    // True once the bytes taken make a whole stream: its header, every fork it began complete, and a data
    // fork among them. Anything less leaves the file short of what the stream said it holds.
    static bool IsUnflattenComplete(TFileSysRefObj* ref);
    static void StopUnflatten(TFileSysRefObj* ref);

    // Partial downloads carry a mark that names the item they become, so that a file that merely has a
    // partial file's name is never taken for one. Where the file system keeps no marks none is set and
    // a partial file can be told by its name alone (kPartialUnknown).
    enum EPartialMark : uint8_t
    {
        kPartialNone,
        kPartialMarked,
        kPartialUnknown,
    };
    static void SetPartialMark(TFileSysRefObj* ref, const uint8_t* forName);
    // outForName (256 bytes, may be null) receives the marked name.
    static EPartialMark GetPartialMark(TFileSysRefObj* ref, uint8_t* outForName);
    static void ClearPartialMark(TFileSysRefObj* ref);
};
