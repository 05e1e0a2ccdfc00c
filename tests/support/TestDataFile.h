// Puts the built quenvol.dat into the resource search chain once, for tests that show boxes or texts.
#pragma once

#include <cstdlib>
#include <string>

#include "framework/runtime/URez.h"
#include "platform/Folders.h"

inline TRezObj* UseBuiltDataFile()
{
    static TRezObj* rez = []
    {
        const char* dir = std::getenv("QUENVOL_TEST_DATA");
        std::string path = (dir && *dir ? std::string(dir) : platform::ProgramFolder()) + "/quenvol.dat";
        return URez::AddFileToSearchChain(path.c_str());
    }();
    return rez;
}
