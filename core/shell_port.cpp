#include "core/shell_port.h"

ShellHooks shellHooks;
