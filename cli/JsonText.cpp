#include "JsonText.h"

#include <cstdio>

namespace {

// The length of the UTF-8 sequence Text starts with; 0 when it is not a valid one (a stray
// continuation byte, an overlong form, a surrogate, beyond U+10FFFF, cut short).
size_t SequenceLength(std::string_view Text)
{
    const auto Byte = [&](size_t I) { return I < Text.size() ? static_cast<unsigned char>(Text[I]) : 0u; };
    const unsigned Lead = Byte(0);
    if (Lead < 0x80)
        return 1;
    size_t Length = 0;
    unsigned Low = 0x80, High = 0xBF; // the second byte's range
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Length = 2;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Length = 3;
        Low = Lead == 0xE0 ? 0xA0 : Low;
        High = Lead == 0xED ? 0x9F : High;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Length = 4;
        Low = Lead == 0xF0 ? 0x90 : Low;
        High = Lead == 0xF4 ? 0x8F : High;
    } else {
        return 0;
    }
    if (Byte(1) < Low || Byte(1) > High)
        return 0;
    for (size_t I = 2; I < Length; ++I)
        if (Byte(I) < 0x80 || Byte(I) > 0xBF)
            return 0;
    return Length;
}

} // namespace

std::string JsonString(std::string_view Text)
{
    std::string Json = "\"";
    size_t I = 0;
    while (I < Text.size()) {
        const size_t Length = SequenceLength(Text.substr(I));
        const auto Byte = static_cast<unsigned char>(Text[I]);
        if (Length == 0) {
            Json += "\\ufffd";
        } else if (Byte == '"' || Byte == '\\') {
            Json += '\\';
            Json += static_cast<char>(Byte);
        } else if (Byte < 0x20 || Byte == 0x7F) {
            char Escape[8];
            std::snprintf(Escape, sizeof Escape, "\\u%04x", Byte);
            Json += Escape;
        } else {
            Json.append(Text.substr(I, Length));
        }
        I += Length == 0 ? 1 : Length;
    }
    return Json + "\"";
}

std::string UtcText(std::chrono::system_clock::time_point Time)
{
    using namespace std::chrono;
    const auto Milliseconds = floor<milliseconds>(Time);
    const auto Day = floor<days>(Milliseconds);
    const year_month_day Date(Day);
    const hh_mm_ss Clock(Milliseconds - Day);
    char Text[32];
    std::snprintf(Text, sizeof Text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(Date.year()),
                  static_cast<unsigned>(Date.month()), static_cast<unsigned>(Date.day()),
                  static_cast<int>(Clock.hours().count()), static_cast<int>(Clock.minutes().count()),
                  static_cast<int>(Clock.seconds().count()), static_cast<int>(Clock.subseconds().count()));
    return Text;
}

TJsonObject& TJsonObject::Raw(std::string_view Key, std::string_view Value)
{
    if (!FFields.empty())
        FFields += ',';
    FFields += JsonString(Key);
    FFields += ':';
    FFields += Value;
    return *this;
}
