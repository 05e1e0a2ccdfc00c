// What the transfer tests share: files on disk, a logged-in client with the folder Docs open, local files
// dropped on a folder window, and the tasks window's rows.
#pragma once

#include <QMimeData>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "client/tasks/CMyTaskListView.h"
#include "client/tasks/CMyTasksWin.h"
#include "client/transfers/CMyTransferQueue.h"
#include "framework/files/StFileSysRef.h"
#include "framework/files/UFileSys.h"
#include "framework/runtime/FourCC.h"
#include "framework/ui/UDragAndDrop.h"
#include "tests/client/files/FilesTestSupport.h"

namespace transfertest
{
// The application, with the ends of transfers that would go to the desktop kept for the test instead.
class CEndRecorder : public CMyApplication
{
public:
    CEndRecorder()
    {
        Features().Transfers().SetEndedProc([this](const uint8_t* name, bool ok, const std::string&)
                                            { ends.emplace_back(CAppHarness::Str(name), ok); });
    }
    std::vector<std::pair<std::string, bool>> ends;

    static std::unique_ptr<CMyApplication> Make() { return std::make_unique<CEndRecorder>(); }
};

// Bytes that differ from one position to the next, so that a misplaced piece shows.
inline std::string Data(size_t size, uint32_t seed = 1)
{
    std::string out(size, '\0');
    uint32_t x = seed * 2654435761u + 12345;
    for (size_t i = 0; i < size; ++i)
    {
        x = x * 1103515245u + 12345u;
        out[i] = char(x >> 16);
    }
    return out;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A partial file as this client leaves one behind: its bytes, and the mark that it becomes `finalName`.
inline void WritePartial(const std::string& path, const std::string& finalName, const std::string& bytes)
{
    WriteFile(path, bytes);
    StFileSysRef ref(UFileSys::NewFromNativePath(path.data(), uint32_t(path.size())));
    UFileSys::SetPartialMark(ref.Get(), CAppHarness::P(finalName).data());
}

inline bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

// What the server's flattened form adds to a file's bytes: headers and an information fork with the name.
inline size_t FlatOverhead(const std::string& name)
{
    return 24 + 16 + 74 + std::min<size_t>(name.size(), 63) + 16;
}

// Local files dropped on a folder window's list, as a file manager drops them; true once the window took
// them (its upload command ran).
inline bool DropFiles(CAppHarness& h, CMyFolderWin* win, const std::vector<std::string>& paths)
{
    std::vector<SDragFlavor> flavors;
    for (const std::string& path : paths)
        flavors.push_back({FourCC("hfs "), path});
    std::unique_ptr<QMimeData> mime(UDragAndDrop::MakeMimeData(flavors));
    if (!win->View()->Drop(*mime, 0)) return false;
    return h.WaitUntil([&] { return win->View()->GetUploadCount() == 0; }, "the drop to be taken");
}

inline bool HasRowWith(const CAppHarness& h, const std::string& part)
{
    for (const std::string& row : h.TaskRows())
        if (row.find(part) != std::string::npos) return true;
    return false;
}

inline std::string RowWith(const CAppHarness& h, const std::string& part)
{
    for (const std::string& row : h.TaskRows())
        if (row.find(part) != std::string::npos) return row;
    return std::string();
}

// Selects the tasks window's row whose text holds `part`; false when there is none.
inline bool SelectTaskRow(CAppHarness& h, const std::string& part)
{
    const std::vector<std::string> rows = h.TaskRows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].find(part) != std::string::npos)
        {
            h.App().Features().Windows().Tasks()->View()->DeselectAll();
            h.App().Features().Windows().Tasks()->View()->SelectItem(uint32_t(i + 1));
            return true;
        }
    return false;
}

// Starts the client, logs in with transfers running at once (nothing queued), and opens the folder Docs.
inline CMyFolderWin* LoginAndOpenDocs(CAppHarness& h)
{
    h.Start();
    if (!h.Login()) return nullptr;
    h.App().Features().Settings().queueTransfers = 0;
    CMyFolderWin* root = filestest::OpenRoot(h);
    if (!root) return nullptr;
    filestest::Open(h, root, "Docs");
    return filestest::FolderWin(h, "Docs");
}
} // namespace transfertest
