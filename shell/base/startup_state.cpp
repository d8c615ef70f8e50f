// The process-wide start-up state.
#include "shell/base/startup_state.h"

StartupState Startup;
