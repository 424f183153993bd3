#include "AdapterBuffer.h"

#include <algorithm>
#include <iterator>

void TAdapterBuffer::Hold(std::string_view Text, TClock::time_point At)
{
    FLatest = std::max(FLatest, At);
    if (FLatency.count() == 0) {
        FPassed.push_back({FLatest, std::string(Text)});
        return;
    }
    Expire(FLatest);
    for (char C : Text) {
        if (FHeld.empty())
            FFirstHeld = FLatest;
        FHeld.push_back(C);
        if (FHeld.size() == AdapterPacketSize) {
            FPassed.push_back({FLatest, std::move(FHeld)});
            FHeld.clear();
        }
    }
}

void TAdapterBuffer::Expire(TClock::time_point Now)
{
    // The timer fires before a character that arrives at the same moment joins.
    if (!FHeld.empty() && FFirstHeld + FLatency <= Now) {
        FPassed.push_back({FFirstHeld + FLatency, std::move(FHeld)});
        FHeld.clear();
    }
}

std::vector<TAdapterPacket> TAdapterBuffer::Release(TClock::time_point Now)
{
    FLatest = std::max(FLatest, Now);
    Expire(FLatest);
    const auto Due = std::find_if(FPassed.begin(), FPassed.end(), [&](const TAdapterPacket& Packet) { return Packet.At > Now; });
    std::vector<TAdapterPacket> Released(std::make_move_iterator(FPassed.begin()), std::make_move_iterator(Due));
    FPassed.erase(FPassed.begin(), Due);
    return Released;
}

std::optional<TAdapterBuffer::TClock::time_point> TAdapterBuffer::Deadline() const
{
    if (FHeld.empty())
        return std::nullopt;
    return FFirstHeld + FLatency;
}
