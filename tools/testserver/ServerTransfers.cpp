// The server model's transfer requests: it checks what a client asks for, registers the transfer with
// the transfer listener and answers with the reference number and the size the connection will carry.
// Previews are served (folder downloads in ServerFolderTransfers.cpp); downloads and uploads are refused
// until they are built.
#include <sys/stat.h>

#include "tools/testserver/CServerModel.h"
#include "tools/testserver/CTransferServer.h"
#include "tools/testserver/ServerFields.h"

using namespace serverfields;
using testwire::CFields;

namespace
{
constexpr unsigned kCanDownloadFiles = 2;
constexpr int32_t kPreviewOption = 2;
} // namespace

bool CServerModel::AnswerTransfers(SRequest& r)
{
    const std::string& body = r.request.body;
    switch (r.request.header.type)
    {
    case 202: // download, or preview with 204 = 2
    {
        if (Integer(CFields::Find(body, kTransferOptions)) != kPreviewOption)
        {
            Refuse(r.reply, "This server does not offer downloads yet.");
            return true;
        }
        if (!transfers)
        {
            Refuse(r.reply, "This server does not transfer files.");
            return true;
        }
        std::string path;
        struct stat st
        {
        };
        // The item may be an alias: what it leads to must be a file inside the shared folder.
        if (!mShared.ResolveItem(CFields::Find(body, kFilePath), CFields::Find(body, kFileName), path) ||
            !mShared.IsInside(path) || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        {
            Refuse(r.reply, "Cannot find the file.");
            return true;
        }
        if (!Require(r, kCanDownloadFiles, "You are not allowed to download files.")) return true;
        STransferJob job;
        job.kind = STransferJob::EKind::Preview;
        job.path = path;
        job.size = uint64_t(st.st_size) > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint64_t(st.st_size);
        job.connection = r.connection;
        const uint32_t refNum = transfers->AddJob(job);
        r.reply.body =
            CFields().Add(kRefNum, Unsigned(refNum)).Add(kTransferSize, Unsigned(uint32_t(job.size))).Bytes();
        return true;
    }
    case 203: // upload
        Refuse(r.reply, "This server does not accept uploads yet.");
        return true;
    case 210: // folder download
        return AnswerFolderDownload(r);
    default:
        return false;
    }
}
