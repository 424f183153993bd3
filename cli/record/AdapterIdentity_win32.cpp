#include "AdapterIdentity.h"

nlohmann::ordered_json AdapterIdentity(const std::string& Port, const std::filesystem::path&)
{
    return {{"port_name", Port}};
}
