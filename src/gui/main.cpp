#include "gui/varnex_app.h"

wxIMPLEMENT_APP(varnex::CVarnexApp);
