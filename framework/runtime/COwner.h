// Owns one opaque object of a framework service (a TTransactObj, a THdlObj, a TTimerObj…) and disposes
// of it through the service's own Dispose when the owner goes or takes another object. Owners move and
// never copy, so that a member, a container or a return value can hold the object without a hand-written
// destructor; members that own objects are destroyed in the reverse order of their declaration.
#pragma once

#include <utility>

template <class T, void (*Dispose)(T*)>
class COwner
{
public:
    COwner() = default;
    explicit COwner(T* object) : mObject(object) {}
    ~COwner() { Dispose(mObject); }

    COwner(const COwner&) = delete;
    COwner& operator=(const COwner&) = delete;
    COwner(COwner&& other) noexcept : mObject(other.Release()) {}
    COwner& operator=(COwner&& other) noexcept
    {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    T* Get() const { return mObject; }
    // Hands the object to the service's operations as the scope guards do.
    operator T*() const { return mObject; }
    // Disposes of the object held so far (the services' Dispose takes null) and holds `object`.
    void Reset(T* object = nullptr)
    {
        T* old = std::exchange(mObject, object);
        if (old != object) Dispose(old);
    }
    // The caller takes the object; the owner holds nothing afterwards.
    T* Release() { return std::exchange(mObject, nullptr); }

private:
    T* mObject = nullptr;
};
