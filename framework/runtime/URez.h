// Resource files: numbered items of a four-character type, loaded into handles on demand and found
// through a chain of open files.
#pragma once

#include <cstdint>

#include "framework/runtime/UMemory.h"

struct TRezObj;

// The file access of one resource object. The container addresses 32 bits, so offsets and sizes do too.
// The procedures raise on failure; a read returns fewer bytes only at the end of the file.
using RezReadProc = uint32_t (*)(void* ref, uint32_t offset, void* buffer, uint32_t size);
using RezWriteProc = uint32_t (*)(void* ref, uint32_t offset, const void* data, uint32_t size);
using RezGetSizeProc = uint32_t (*)(void* ref);
using RezSetSizeProc = void (*)(void* ref, uint32_t size);
using RezTempFileProc = void* (*)(void* ref, uint32_t action, void* otherRef);

// Remembers one loaded item so that it can be swapped for another with URez::Reload.
struct SRezStub
{
    TRezObj* rez = nullptr;
    THdlObj* handle = nullptr;
    uint32_t type = 0;
    uint32_t id = 0;
};

class URez
{
public:
    // Unless deferRead is set the map is read at once (URez::ReadMap), which may raise 6/102, 1/8 or 1/7.
    static TRezObj* New(RezReadProc read, RezWriteProc write, RezGetSizeProc getSize, RezSetSizeProc setSize,
                        RezTempFileProc tempFile, void* fileRef, bool deferRead = false);
    // Reads the map of an object made with deferRead. Raises 1/3 while any item of it is loaded.
    static void ReadMap(TRezObj* rez);
    // Leaves the search chain, frees every loaded item (handles held by users become invalid) and, for
    // objects made by the Add…ToSearchChain operations, closes the file.
    static void Dispose(TRezObj* rez);
    // True when the in-memory map differs from the file; an empty file counts as a new, changed one.
    static bool IsChanged(TRezObj* rez);

    // Opens the named data file beside the executable, else in ../share/quenvol/ relative to it, for
    // reading and puts it at the end of the chain. Raises 4/103 when neither place has it.
    static TRezObj* AddProgramFileToSearchChain(const uint8_t* pascalName);
    // The same for a file at a given path; a missing file raises 4/103.
    static TRezObj* AddFileToSearchChain(const char* path);
    // Moves the object to the end of the chain, taking it out first when it is already in it.
    static void AddSearchChainEnd(TRezObj* rez);
    // Takes the object out of the chain (null and objects outside the chain are ignored).
    static void RemoveFromSearchChain(TRezObj* rez);
    // The first object in chain order that holds the item, or null: earlier files override later ones.
    static TRezObj* SearchChain(uint32_t type, uint32_t id);

    static bool HasItem(TRezObj* rez, uint32_t type, uint32_t id);
    // Enumeration in sorted order, for tools and checks. Out-of-range indexes raise 1/11.
    static uint32_t GetTypeCount(TRezObj* rez);
    static uint32_t GetIndType(TRezObj* rez, uint32_t index);
    static uint32_t GetItemCount(TRezObj* rez, uint32_t type);
    static uint32_t GetIndID(TRezObj* rez, uint32_t type, uint32_t index);
    // Size of the item's bytes as the map gives it; raises 6/101 when absent.
    static uint32_t GetItemSize(TRezObj* rez, uint32_t type, uint32_t id);

    // The item's data handle, loaded when needed; the same handle goes to every user until the item is
    // reclaimed. Raises 6/101 when absent and 1/2 for a null object, or returns null for both with mayFail.
    // Every call must be matched by one ReleaseItem.
    static THdlObj* LoadItem(TRezObj* rez, uint32_t type, uint32_t id, bool mayFail = false);
    // Ends one use; at the last one the handle becomes discardable but stays loaded until memory is needed.
    // Null objects and unknown items are ignored.
    static void ReleaseItem(TRezObj* rez, uint32_t type, uint32_t id);
    // The load count of an item (0 when absent), for checks.
    static uint32_t GetLoadCount(TRezObj* rez, uint32_t type, uint32_t id);

    // Finds (type, id) through the chain and loads it without raising 6/101, then releases what the stub
    // held and stores the new item in it (or clears it when nothing was found). Returns the new handle.
    static THdlObj* Reload(SRezStub& stub, uint32_t type, uint32_t id);
    // Releases what the stub holds and clears it.
    static void ReleaseStub(SRezStub& stub);
};

// Holds one loaded item for the lifetime of the guard. A null resource object means the search chain.
class StRezLoader
{
public:
    StRezLoader(TRezObj* rez, uint32_t type, uint32_t id, bool mayFail = false);
    ~StRezLoader();
    StRezLoader(const StRezLoader&) = delete;
    StRezLoader& operator=(const StRezLoader&) = delete;

    // Null only when mayFail was set and the item was not found.
    THdlObj* Handle() const { return mHandle; }
    TRezObj* Rez() const { return mRez; }

private:
    TRezObj* mRez;
    THdlObj* mHandle;
    uint32_t mType;
    uint32_t mID;
};
