// Where a download is written until it is complete: beside its final name, under that name with ".qpf"
// appended, marked as the partial file of that name. One rule for file and folder downloads alike:
// - the final name is cut, where it must be, so that the partial file's name fits the disk as well;
// - a partial file is only ever one this client made for that name. A file that merely is named so (a
//   server's own "x.qpf", downloaded whole) is never resumed as "x"; the partial file of "x" then goes to
//   "x-2.qpf", and so on;
// - complete, it loses its mark and takes the final name;
// - a download whose bytes are all in hand when its file is made cannot be cut off halfway, so it needs no
//   partial file: it is written into a file without a name, which takes the final name when whole.
// Where the file system keeps no marks, the first of those names is the partial file, as its name says.
#pragma once

#include <cstdint>

struct TFileSysRefObj;

class UMyPartialFile
{
public:
    // Cuts the final name (length-prefixed) so that its partial file's name fits the disk; true when it
    // had to.
    static bool FitFinalName(uint8_t* name);
    // The local name of a server item (both length-prefixed; `outName` holds 256 bytes): valid on the
    // disk, and short enough that its partial file's name is too.
    static void MakeLocalName(const uint8_t* serverName, uint8_t* outName);
    // Looks beside `finalRef` for the partial file this client made for its name. True, with `outRef`
    // naming it, when there is one; false, with `outRef` naming where a new one goes. The caller owns
    // `outRef`. Raises 4/115 when every such name is taken by other items. A caller that knows the folder
    // holds nothing it did not put there itself (`nothingThere`) gets the first place without a look.
    static bool Find(TFileSysRefObj* finalRef, TFileSysRefObj*& outRef, bool nothingThere = false);
    // Creates the file `ref` names (which must not exist) as the partial file of `finalName`, with the
    // unflatten into it started. With `wholeInHand`, where the file system allows, the file is made
    // without a name beside it instead (`ref` then names the final name): true then.
    static bool Create(TFileSysRefObj* ref, const uint8_t* finalName, bool wholeInHand = false);
    // The name a partial file becomes: the one it is marked with, else its own without the extension.
    static void GetFinalName(TFileSysRefObj* ref, uint8_t* outName);
    // The partial file, open and whole, loses its mark, is closed and takes its final name; a file made
    // without a name (`unnamed`) takes it, and raises 115 when the name was taken meanwhile.
    static void Complete(TFileSysRefObj* ref, const uint8_t* finalName, bool unnamed = false);
    // Takes the partial-file extension off whatever its case; true when the name had it.
    static bool CutExtension(uint8_t* name);
};
