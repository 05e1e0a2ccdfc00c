// The servers the trackers reported that pass the search: users online, name and description. The rows
// point into the tracker controller's list, which owns the servers. The list grows sideways to the
// longest description it has shown, and never shrinks back.
#pragma once

#include <string>
#include <vector>

#include "client/core/TrackerRecords.h"
#include "framework/ui/CListView.h"

class CServersList : public CListView
{
public:
    static constexpr int32_t kRowHeight = 19;
    static constexpr int32_t kDescLeft = 208;

    CServersList(SViewParent parent, const SRect& bounds);

    void AddTrackerFromPointer(STrackInfo* server);
    // Empties the rows; the servers stay with their owner.
    void RemoveAll();
    STrackInfo* GetSelectInfo() const;
    STrackInfo* GetItem(uint32_t row) const;
    // The first selected server's name (cut to 31 characters) and its address as a connect text: the
    // dotted address alone for port 5500, else with ":port". False when nothing is selected.
    bool GetSelectedServInfo(uint8_t* outName, uint8_t* outAddress) const;
    static void AddressText(const STrackInfo& server, uint8_t* outAddress);
    int32_t GetFarRight() const { return mFarRight; }

    // Row texts for a screen reader.
    QString GetItemDescription(uint32_t row) const override;

protected:
    void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active) override;

private:
    std::vector<STrackInfo*> mTrackList;
    std::string mBigDesc;
    int32_t mFarRight = 0;
};
