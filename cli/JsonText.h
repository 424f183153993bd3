// JSON text for the update records: strings escaped whole, objects built field by field.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

// Text as a JSON string: quotes, backslashes and control characters escaped, and each byte that is
// not part of valid UTF-8 (a Linux file name may hold any) replaced by U+FFFD, so that the line
// stays valid JSON whatever a port or file name holds.
std::string JsonString(std::string_view Text);

// Time in UTC, ISO 8601 to the millisecond: 2026-01-02T03:04:05.006Z.
std::string UtcText(std::chrono::system_clock::time_point Time);

class TJsonObject {
public:
    // Value as it stands: a number, true, false, null, or another object's Json().
    TJsonObject& Raw(std::string_view Key, std::string_view Value);
    TJsonObject& Text(std::string_view Key, std::string_view Value) { return Raw(Key, JsonString(Value)); }
    std::string Json() const { return "{" + FFields + "}"; }

private:
    std::string FFields;
};
