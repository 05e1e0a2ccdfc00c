// The user's trackers, one row each: the tick that says whether a refresh queries it, its name and its
// status. The list owns the entries.
#pragma once

#include <memory>
#include <vector>

#include "client/core/TrackerRecords.h"
#include "framework/ui/CListView.h"

class CTrackersList : public CListView
{
public:
    static constexpr int32_t kRowHeight = 19;
    // The first pixels of a row are its tick box.
    static constexpr int32_t kTickWidth = 24;

    CTrackersList(SViewParent parent, const SRect& bounds);

    // Strings are length-prefixed. The new entry has an empty status and zero counters.
    STrackServerInfo* AddTracker(const uint8_t* name, const uint8_t* comments, const uint8_t* address,
                                 const uint8_t* login, const uint8_t* password, int16_t hasAccount,
                                 int16_t use, int16_t id);
    // Takes the entry; its counters start at 0.
    void AddTrackerFromPointer(std::unique_ptr<STrackServerInfo> entry);
    void UpdateSelectedTracker(const uint8_t* name, const uint8_t* comments, const uint8_t* address,
                               const uint8_t* login, const uint8_t* password, int16_t hasAccount);
    // The same for the entry with that id; false when there is none.
    bool UpdateTrackerByID(int16_t id, const uint8_t* name, const uint8_t* comments, const uint8_t* address,
                           const uint8_t* login, const uint8_t* password, int16_t hasAccount);
    void RemoveSelected();
    void RemoveAll();
    // Flips the first selected entry's tick.
    void MarkSelected();
    STrackServerInfo* GetSelectInfo() const;
    // From 0.
    STrackServerInfo* GetServerInfo(uint32_t index) const;
    STrackServerInfo* GetServerInfoByID(int16_t id) const;
    uint32_t GetServerTotal() const { return uint32_t(mTrackList.size()); }
    void UpdateItemByID(int16_t id);

    void MousePress(int32_t x, int32_t y, uint16_t mods) override;
    void MouseDoubleClick(int32_t x, int32_t y, uint16_t mods) override;

    // Row texts for a screen reader.
    QString GetItemDescription(uint32_t row) const override;

protected:
    void DrawItem(QPainter& painter, const QRect& rowRect, uint32_t row, bool selected, bool active) override;

private:
    void FlipTick(uint32_t row);

    std::vector<std::unique_ptr<STrackServerInfo>> mTrackList;
};
