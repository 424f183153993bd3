// Whether stdout is a terminal that takes the progress bar's redrawing escapes; one implementation
// per platform.
#pragma once

bool StdoutIsTerminal();
