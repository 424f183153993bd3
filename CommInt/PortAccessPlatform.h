// What each system says about a refused open: PortAccess_*.cpp.
#pragma once

#include <string>

#include "PortAccess.h"

namespace PortAccessPlatform {

TOpenRefusal RefusalOf(int Error);
std::string PermissionAdvice(const std::string& DevicePath);
std::string SystemMessage(int Error);

} // namespace PortAccessPlatform
