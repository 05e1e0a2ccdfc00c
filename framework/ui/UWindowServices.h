// Starts the toolkit's services: the alert, the key command filter. Call before the application object
// is built (it registers itself to run from the application base's construction).
#pragma once

class UWindowServices
{
public:
    static void Register();
    static void Init();
};
