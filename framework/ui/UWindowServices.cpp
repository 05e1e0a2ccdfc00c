#include "framework/ui/UWindowServices.h"

#include "framework/runtime/CApplication.h"
#include "framework/runtime/UError.h"
#include "framework/ui/UAlert.h"
#include "framework/ui/UKeyboard.h"

void UWindowServices::Register()
{
    CApplication::SetServicesInitProc(Init);
}

void UWindowServices::Init()
{
    UError::SetAlertProc(UAlert::Show);
    UKeyboard::Install();
}
