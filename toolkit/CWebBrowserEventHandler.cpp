#include "toolkit/CWebBrowserEventHandler.h"

// Navigation events: nothing to do; the browser goes on as it decides.
void CWebBrowserEventHandler::BeforeNavigate2(CWebBrowserUI*, const CDuiString&, bool&) { }
void CWebBrowserEventHandler::NavigateError(CWebBrowserUI*, const CDuiString&, int, bool&) { }
void CWebBrowserEventHandler::NavigateComplete2(CWebBrowserUI*, const CDuiString&) { }
void CWebBrowserEventHandler::ProgressChange(CWebBrowserUI*, int, int) { }
void CWebBrowserEventHandler::NewWindow3(CWebBrowserUI*, const CDuiString&, bool&) { }
void CWebBrowserEventHandler::CommandStateChange(CWebBrowserUI*, int, bool) { }

// Host questions.
UIResult CWebBrowserEventHandler::ShowContextMenu(CWebBrowserUI*, int, UIPoint)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::GetHostInfo(CWebBrowserUI*, DocHostUIInfo*)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::ShowUI(CWebBrowserUI*)
{
    return kUIResultFalse;
}
UIResult CWebBrowserEventHandler::HideUI(CWebBrowserUI*)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::UpdateUI(CWebBrowserUI*)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::EnableModeless(CWebBrowserUI*, bool)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::OnDocWindowActivate(CWebBrowserUI*, bool)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::OnFrameWindowActivate(CWebBrowserUI*, bool)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::ResizeBorder(CWebBrowserUI*, UIRect, bool)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::TranslateAccelerator(CWebBrowserUI*, int, int)
{
    return kUIResultFalse;
}
UIResult CWebBrowserEventHandler::GetOptionKeyPath(CWebBrowserUI*, CDuiString&)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::GetDropTarget(CWebBrowserUI*)
{
    return kUIResultNotImplemented;
}
UIResult CWebBrowserEventHandler::GetExternal(CWebBrowserUI*)
{
    return kUIResultNotImplemented;
}
UIResult CWebBrowserEventHandler::TranslateUrl(CWebBrowserUI*, const CDuiString&, CDuiString&)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::FilterDataObject(CWebBrowserUI*)
{
    return kUIResultOk;
}
UIResult CWebBrowserEventHandler::Download(CWebBrowserUI*, const CDuiString&)
{
    return kUIResultOk;
}
