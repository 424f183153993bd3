#include "AdapterIdentity.h"

TJsonObject AdapterIdentity(const std::string& Port, const std::filesystem::path&)
{
    return TJsonObject().Text("port_name", Port);
}
