// tavik-demo: shows the toolkit working; `--screenshot out.png` writes what it painted and exits.
#include "DemoDialog.h"

#include "TavikUI/MRender.h"
#include "TavikUI/Manager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace TavikUI;

int main(int argc, char** argv) {
    DemoOptions options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc) {
            options.screenshot = MRender::FromUtf8(argv[++i]);
        } else if (std::strcmp(argv[i], "--screenshot-on-click") == 0 && i + 1 < argc) {
            options.screenshot = MRender::FromUtf8(argv[++i]);
            options.screenshot_on_click = true;
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            options.timeout_s = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr,
                         "usage: tavik-demo [--screenshot out.png | --screenshot-on-click out.png] [--timeout s]\n");
            return 2;
        }
    }
    if (!Manager::InitGdiplus()) {
        std::fprintf(stderr, "tavik-demo: no display to open a window on\n");
        return 1;
    }
    int code = 0;
    {
        DemoDialog dlg(options);
        if (!dlg.Create(0, L"TavikUI demo", WS_POPUP, 0, CRect(0, 0, 960, 560))) {
            std::fprintf(stderr, "tavik-demo: cannot create the window\n");
            Manager::UnInitGdiplus();
            return 1;
        }
        dlg.CenterWindow();
        dlg.ShowModal(SW_SHOW);
        code = dlg.GetExitCode();
    }
    Manager::UnInitGdiplus();
    return code;
}
