// What a drag that promises a file needs from the system: window properties on an X11 display (the
// target writes the place it chose into a property of the source's window) and the machine's name (file
// URIs may name it). The display calls do nothing and answer false where the client was built without
// X11 support.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform
{
bool HasX11Properties();
// `connection` is the display's xcb connection, `window` an X window id. Each call waits for the display
// server's answer, as the toolkit's own drag does.
bool SetTextProperty(void* connection, uint32_t window, const char* property, const std::string& text);
// False when the property is missing, is not 8-bit text or holds more than `limit` bytes.
bool ReadTextProperty(void* connection, uint32_t window, const char* property, size_t limit,
                      std::string& outText);
void DeleteProperty(void* connection, uint32_t window, const char* property);
// The window owning the selection when this connection made it, else 0: properties go only on windows
// of our own.
uint32_t OwnSelectionOwner(void* connection, const char* selection);
// The machine's host name, or an empty string.
std::string HostName();
} // namespace platform
