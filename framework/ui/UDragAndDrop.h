// Drag and drop in the client's terms: items carry flavours named by four-character codes. The client's
// own flavours travel as MIME types of the project's own ("application/x-quenvol-QVFN"); local files
// are the flavour 'hfs ' and travel as text/uri-list.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class CView;
class QMimeData;

struct SDragFlavor
{
    uint32_t flavor;
    std::string bytes;
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
    static void StartDrag(CView* source, const std::vector<SDragFlavor>& flavors);

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
