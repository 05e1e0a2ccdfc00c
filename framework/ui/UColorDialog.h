// The desktop's colour chooser. Colours are three 16-bit components (0-65535), red, green and blue.
#pragma once

#include <cstdint>

class UColorDialog
{
public:
    // Opens the chooser on ioRGB; true with the chosen colour in ioRGB, false (ioRGB kept) when the user
    // cancels. `title` is plain ASCII and may be null.
    static bool Choose(const char* title, uint16_t* ioRGB);

    // Tests answer in place of the dialog: the hook gets the colour and returns what Choose returns.
    // Null shows the dialog again.
    using Hook = bool (*)(uint16_t* ioRGB);
    static void SetHook(Hook hook);
};
