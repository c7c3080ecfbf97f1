#include "ui/web/RerWebBrowserEventHandler.h"

UIResult RerWebBrowserEventHandler::GetHostInfo(CWebBrowserUI* /*browser*/, DocHostUIInfo* info)
{
    if (info != nullptr)
        info->flags |= kDocHostUIFlagNo3DBorder;
    return kUIResultOk;
}
