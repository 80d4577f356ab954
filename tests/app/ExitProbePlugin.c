/* A test plug-in that notes when Melvo unloads it and, when asked to, raises a box while it goes. */
#define DeinitDLL ProbeDeinitDLL
#include "TestPlugin.c"
#undef DeinitDLL

MELVO_PLUGIN_EXPORT int DeinitDLL(void);
MELVO_PLUGIN_EXPORT int DeinitDLL(void) {
    if (getenv("MELVO_TEST_DEINIT_BOX")) {
        LogCall("Box");
        MelvoPluginMessageBox("Unloading the probe.", TP_NAME, 0);
    }
    return ProbeDeinitDLL();
}
