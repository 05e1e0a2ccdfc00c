#include "platform/DirectSave.h"

#include <cstdlib>
#include <cstring>
#include <unistd.h>

#ifdef QUENVOL_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace platform
{
#ifdef QUENVOL_HAVE_XCB
namespace
{
xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}
} // namespace

bool HasX11Properties()
{
    return true;
}

bool SetTextProperty(void* connection, uint32_t window, const char* property, const std::string& text)
{
    auto* c = static_cast<xcb_connection_t*>(connection);
    if (!c || !window) return false;
    const xcb_atom_t name = Atom(c, property);
    const xcb_atom_t type = Atom(c, "text/plain");
    if (name == XCB_ATOM_NONE || type == XCB_ATOM_NONE) return false;
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_change_property_checked(c, XCB_PROP_MODE_REPLACE, window, name, type, 8,
                                                         uint32_t(text.size()), text.data()));
    if (!error) return true;
    std::free(error);
    return false;
}

bool ReadTextProperty(void* connection, uint32_t window, const char* property, size_t limit,
                      std::string& outText)
{
    outText.clear();
    auto* c = static_cast<xcb_connection_t*>(connection);
    if (!c || !window) return false;
    const xcb_atom_t name = Atom(c, property);
    if (name == XCB_ATOM_NONE) return false;
    // One 32-bit unit more than the limit shows whether the value is longer than allowed.
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, uint32_t(limit / 4 + 1)),
        nullptr);
    if (!reply) return false;
    bool ok = false;
    if (reply->type != XCB_ATOM_NONE && reply->format == 8 && reply->bytes_after == 0)
    {
        const int length = xcb_get_property_value_length(reply);
        if (length >= 0 && size_t(length) <= limit)
        {
            outText.assign(static_cast<const char*>(xcb_get_property_value(reply)), size_t(length));
            ok = true;
        }
    }
    std::free(reply);
    return ok;
}

void DeleteProperty(void* connection, uint32_t window, const char* property)
{
    auto* c = static_cast<xcb_connection_t*>(connection);
    if (!c || !window) return;
    const xcb_atom_t name = Atom(c, property);
    if (name != XCB_ATOM_NONE) xcb_delete_property(c, window, name);
    xcb_flush(c);
}

uint32_t OwnSelectionOwner(void* connection, const char* selection)
{
    auto* c = static_cast<xcb_connection_t*>(connection);
    if (!c) return 0;
    const xcb_atom_t name = Atom(c, selection);
    if (name == XCB_ATOM_NONE) return 0;
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, name), nullptr);
    if (!reply) return 0;
    const uint32_t owner = reply->owner;
    std::free(reply);
    // Windows this connection creates carry its resource id base.
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (!setup || (owner & ~setup->resource_id_mask) != setup->resource_id_base) return 0;
    return owner;
}
#else
bool HasX11Properties()
{
    return false;
}
bool SetTextProperty(void*, uint32_t, const char*, const std::string&)
{
    return false;
}
bool ReadTextProperty(void*, uint32_t, const char*, size_t, std::string& outText)
{
    outText.clear();
    return false;
}
void DeleteProperty(void*, uint32_t, const char*) {}
uint32_t OwnSelectionOwner(void*, const char*)
{
    return 0;
}
#endif

std::string HostName()
{
    char name[256];
    if (gethostname(name, sizeof name) != 0) return {};
    name[sizeof name - 1] = '\0';
    return name;
}
} // namespace platform
