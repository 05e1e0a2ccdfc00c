// Scope guards for file references: disposing of one, and keeping a file open.
#pragma once

#include "framework/files/UFileSys.h"

// Disposes of a reference when it goes out of scope, unless released.
class StFileSysRef
{
public:
    explicit StFileSysRef(TFileSysRefObj* ref = nullptr) : mRef(ref) {}
    ~StFileSysRef() { UFileSys::Dispose(mRef); }
    StFileSysRef(const StFileSysRef&) = delete;
    StFileSysRef& operator=(const StFileSysRef&) = delete;
    TFileSysRefObj* Get() const { return mRef; }
    TFileSysRefObj* Release()
    {
        TFileSysRefObj* ref = mRef;
        mRef = nullptr;
        return ref;
    }

private:
    TFileSysRefObj* mRef;
};

// Opens a file for the lifetime of the guard.
class StFileOpener
{
public:
    StFileOpener(TFileSysRefObj* ref, uint32_t permission) : mRef(ref) { UFileSys::Open(ref, permission); }
    ~StFileOpener() { UFileSys::Close(mRef); }
    StFileOpener(const StFileOpener&) = delete;
    StFileOpener& operator=(const StFileOpener&) = delete;

private:
    TFileSysRefObj* mRef;
};
