#include "client/boxes/SMsgBox.h"

#include "framework/runtime/SError.h"

namespace
{
int16_t ReadWord(const uint8_t* p)
{
    return int16_t(uint16_t(p[0] << 8 | p[1]));
}
} // namespace

void ParseMsgBoxResource(const uint8_t* bytes, uint32_t size, SMsgBox& outBox)
{
    if (!bytes || size < 12) Fail(kErrTypeGeneral, 9);
    outBox = SMsgBox{};
    outBox.icon = ReadWord(bytes);
    outBox.picture = ReadWord(bytes + 2);
    outBox.sound = ReadWord(bytes + 4);
    outBox.textStyle = ReadWord(bytes + 6);
    outBox.btnTextStyle = ReadWord(bytes + 8);
    outBox.script = ReadWord(bytes + 10);
    const uint8_t** strings[] = {&outBox.title, &outBox.message, &outBox.button1, &outBox.button2,
                                 &outBox.button3};
    uint32_t offset = 12;
    for (const uint8_t** s : strings)
    {
        if (offset >= size || uint32_t(bytes[offset]) + 1 > size - offset) break;
        *s = bytes + offset;
        offset += uint32_t(bytes[offset]) + 1;
    }
}
