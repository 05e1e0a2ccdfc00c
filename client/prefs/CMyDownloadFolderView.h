// The options' choice of where downloads go: the desktop's download folder, the program's own folder, or
// a folder the user picks ("Choose Folder...", which then shows that folder's path as a choice of its
// own).
#pragma once

#include "client/core/SMySettings.h"
#include "framework/ui/CButtonPopupView.h"

class CMyDownloadFolderView : public CButtonPopupView
{
public:
    enum : uint32_t
    {
        kItemDesktop = 1,
        kItemProgram = 2,
        kItemChosen = 3, // only while a folder was chosen; "Choose Folder..." is always the last item
    };

    CMyDownloadFolderView(SViewParent parent, const SRect& bounds);

    void SetValue(const SMyDownloadFolder& folder);
    SMyDownloadFolder GetValue() const { return mValue; }
    // After the user picked an item: "Choose Folder..." asks for a folder (keeping the choice before it
    // when the user cancels); the others are the value from now on.
    void Chosen();
    // Tests answer the folder dialog: false is a cancel.
    using AskFolderProc = bool (*)(std::string& outPath);
    static void SetAskFolderProc(AskFolderProc proc);

private:
    void Fill();

    SMyDownloadFolder mValue;
};
