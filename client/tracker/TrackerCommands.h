// The command codes the tracker windows' views carry; the tracker controller dispatches on them.
#pragma once

#include <cstdint>

enum : uint32_t
{
    kCmdTrackEdit = 200,
    kCmdTrackRemove = 201,
    kCmdTrackNew = 202,
    kCmdTrackSearch = 204,
    kCmdTrackConnectWithDialog = 205,
    kCmdTrackServerInfo = 206,
    kCmdTrackRefresh = 207,
    kCmdTrackShowList = 208,
    kCmdTrackConnect = 209,
    kCmdTrackGuest = 210,
    kCmdTrackAccount = 211,
    kCmdTrackSave = 212,
    kCmdTrackToggleSize = 213,
    kCmdTrackCancel = 10001,
};
