#include "app/TavlinApp.h"

#include "app/TavlinDlg.h"
#include "platform/net/SocketStartup.h"
#include "platform/ui/Application.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"

bool CTavlinApp::InitInstance() {
    if (!net::StartSockets()) {
        ui::MessageBox(nullptr, res::LoadString(res::kIdsSocketsInitFailed), "Tavlin");
        return false;
    }
    CTavlinDlg dlg;
    dlg.DoModal();
    return false;
}
