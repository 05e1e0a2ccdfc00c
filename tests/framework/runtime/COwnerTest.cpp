// The movable owner of the services' opaque objects: each object is disposed of exactly once, by
// whoever holds it last, and an owner handed on holds nothing.
#include <gtest/gtest.h>
#include <utility>
#include <vector>

#include "framework/runtime/COwner.h"

namespace
{
struct TThingObj
{
    int id;
};

std::vector<int> gDisposed;

void DisposeThing(TThingObj* thing)
{
    if (!thing) return;
    gDisposed.push_back(thing->id);
    delete thing;
}

using COwnedThing = COwner<TThingObj, DisposeThing>;
} // namespace

TEST(COwner, DisposesOnceWhoeverHoldsTheObjectLast)
{
    gDisposed.clear();
    {
        COwnedThing a(new TThingObj{1});
        COwnedThing b(std::move(a));
        EXPECT_EQ(a.Get(), nullptr);
        ASSERT_NE(b.Get(), nullptr);
        EXPECT_EQ(b.Get()->id, 1);

        std::vector<COwnedThing> many;
        many.push_back(std::move(b));
        many.emplace_back(new TThingObj{2});
        many.reserve(100); // the vector moves its owners
        EXPECT_TRUE(gDisposed.empty());

        COwnedThing c(new TThingObj{3});
        c = std::move(many[0]); // 3 goes, 1 moves over
        EXPECT_EQ(gDisposed, std::vector<int>{3});
        EXPECT_EQ(c.Get()->id, 1);
    }
    EXPECT_EQ(gDisposed, (std::vector<int>{3, 1, 2}));
}

TEST(COwner, ResetDisposesTheOldObjectAndReleaseHandsItOver)
{
    gDisposed.clear();
    COwnedThing owner(new TThingObj{4});
    owner.Reset(new TThingObj{5});
    EXPECT_EQ(gDisposed, std::vector<int>{4});
    TThingObj* same = owner.Get();
    owner.Reset(same); // the object it holds already stays
    EXPECT_EQ(gDisposed, std::vector<int>{4});
    TThingObj* taken = owner.Release();
    EXPECT_EQ(owner.Get(), nullptr);
    owner.Reset();
    EXPECT_EQ(gDisposed, std::vector<int>{4});
    DisposeThing(taken);
    EXPECT_EQ(gDisposed, (std::vector<int>{4, 5}));
}
