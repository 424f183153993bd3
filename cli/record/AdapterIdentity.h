// The adapter behind a port, as far as the system knows it, for the update records: on Linux the
// USB vendor and product ids, serial number and bus path from sysfs (nothing for a port with no USB
// device behind it, such as a pseudo-terminal); on Windows the port's name.
#pragma once

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

// Root: where the system's folders are found (dev/, sys/), other than / only for the tests.
nlohmann::ordered_json AdapterIdentity(const std::string& Port, const std::filesystem::path& Root = "/");
