// Ctrl-C and SIGTERM: noted, so that the running job can abandon its run and clean up.
#pragma once

void InstallInterruptHandlers();
bool Interrupted();
