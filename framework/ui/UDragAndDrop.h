// Drag and drop in the client's terms: items carry flavours named by four-character codes. The client's
// own flavours travel as MIME types of the project's own ("application/x-quenvol-QVFN"); local files
// are the flavour 'hfs ' and travel as text/uri-list.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CView;
class QMimeData;

struct SDragFlavor
{
    uint32_t flavor;
    std::string bytes;
};

// A file or folder the drag promises to make wherever a target on the desktop or in a file manager drops
// it. Only an X11 display lets a target choose the place; elsewhere the drag carries its flavours alone.
inline constexpr char kPromiseSaved = 'S';
inline constexpr char kPromiseFallBack = 'F'; // the target should take the drag's plain data instead
inline constexpr char kPromiseError = 'E';

struct SDragPromise
{
    std::string suggestedName; // one UTF-8 name
    // Called at most once, when the target has chosen: an existing local folder and one name inside it.
    // Answers one of the kPromise codes; anything else counts as an error.
    std::function<char(const std::string& folder, const std::string& name)> proc;
};

class UDragAndDrop
{
public:
    static QString MimeTypeOf(uint32_t flavor);
    // Packs the flavours; 'hfs ' bytes are a local path and become a file URL.
    static QMimeData* MakeMimeData(const std::vector<SDragFlavor>& flavors);
    // The bytes of one flavour, or false. For 'hfs ' each local file is one item (its path).
    static bool GetFlavor(const QMimeData& mime, uint32_t flavor, std::vector<std::string>& outItems);

    // Starts a drag from the view (runs until it ends; the framework queue keeps draining meanwhile).
    // With a promise (and an X11 display) the same drag also offers the file to other programs.
    static void StartDrag(CView* source, const std::vector<SDragFlavor>& flavors,
                          const SDragPromise* promise = nullptr);
    // The data of such a drag; without X11 (or a promise) the plain MakeMimeData.
    static QMimeData* MakePromiseMimeData(CView* source, const std::vector<SDragFlavor>& flavors,
                                          const SDragPromise* promise);
    // The folder and name of a target's file URI: only file URIs of this machine (no host, "localhost"
    // or `hostName`), percent escapes decoded, no "." or ".." levels, no NUL, a name after the last slash.
    static bool ParsePromiseUri(const std::string& uri, const std::string& hostName, std::string& outFolder,
                                std::string& outName);
    // What the drag answers a target that chose `uri`: an error unless the URI parses and names a place
    // in an existing folder, else the promise's own answer.
    static char AnswerPromise(const SDragPromise& promise, const std::string& uri);

    // Makes the view accept drags that carry one of the flavours, tried in the given order. A drop sends
    // the view's hit with part 4 and type 4, `param` the flavour and `data` its bytes (up to 256; for
    // 'hfs ' one hit per file with the path). Drags from the view's own window are refused unless
    // `acceptOwn` is set.
    static void AcceptDrops(CView* view, const std::vector<uint32_t>& flavors, bool acceptOwn = false);
    // Every flavour of the last drop, for handlers that need more than the one the hit carries.
    static bool GetLastDropFlavor(uint32_t flavor, std::string& outBytes);
    // Delivers a drop as the view would (tests and keyboard equivalents); returns the hits sent.
    static uint32_t DeliverDrop(CView* view, const QMimeData& mime);
};
