#include "client/prefs/CMyDownloadFolderView.h"

#include <QComboBox>
#include <cstring>

#include "framework/ui/UFileDialogs.h"

namespace
{
CMyDownloadFolderView::AskFolderProc gAskFolder = nullptr;

const char kDesktop[] = "The desktop's download folder";

const char kProgram[] = "Quenvol's own folder";
const char kChoose[] = "Choose Folder...";
} // namespace

CMyDownloadFolderView::CMyDownloadFolderView(SViewParent parent, const SRect& bounds)
    : CButtonPopupView(parent, bounds)
{
    Fill();
}

void CMyDownloadFolderView::SetAskFolderProc(AskFolderProc proc)
{
    gAskFolder = proc;
}

void CMyDownloadFolderView::Fill()
{
    RemoveAll();
    AddItem(kDesktop, uint32_t(std::strlen(kDesktop)));
    AddItem(kProgram, uint32_t(std::strlen(kProgram)));
    // A path is the file system's UTF-8, not the client's character set.
    if (mValue.place == SMyDownloadFolder::kChosen) ComboBox()->addItem(QString::fromStdString(mValue.path));
    AddItem(kChoose, uint32_t(std::strlen(kChoose)));
    switch (mValue.place)
    {
    case SMyDownloadFolder::kDesktop:
        SetSelectedItem(kItemDesktop);
        break;
    case SMyDownloadFolder::kProgram:
        SetSelectedItem(kItemProgram);
        break;
    case SMyDownloadFolder::kChosen:
        SetSelectedItem(kItemChosen);
        break;
    }
}

void CMyDownloadFolderView::SetValue(const SMyDownloadFolder& folder)
{
    mValue = folder;
    // A chosen folder is an absolute path, or none.
    if (mValue.place == SMyDownloadFolder::kChosen && (mValue.path.empty() || mValue.path[0] != '/'))
        mValue = SMyDownloadFolder{};
    Fill();
}

void CMyDownloadFolderView::Chosen()
{
    const uint32_t item = GetSelectedItem();
    if (item == GetItemCount())
    {
        std::string path;
        const bool picked = gAskFolder ? gAskFolder(path) : UFileDialogs::SelectFolder(path);
        if (picked && !path.empty() && path[0] == '/')
            mValue = SMyDownloadFolder{SMyDownloadFolder::kChosen, path};
    }
    else if (item == kItemDesktop)
        mValue = SMyDownloadFolder{};
    else if (item == kItemProgram)
        mValue = SMyDownloadFolder{SMyDownloadFolder::kProgram, std::string()};
    Fill();
}
