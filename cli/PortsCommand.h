// sw30415 ports: the serial ports of this machine, as the window's port box lists them.
#pragma once

// One name a line on stdout; opens no port and sends nothing. Returns the exit code.
int RunPorts();
