#include "AdapterBuffer.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using TTimed = std::pair<int, std::string>; // milliseconds after the first hand-over, characters

// Hands Given over as the terminal does, waking at each hand-over and at the buffer's deadline; each
// packet comes back with the wake-up that passed it on.
static std::vector<TTimed> passedOn(int Latency, const std::vector<TTimed>& Given)
{
    const std::chrono::steady_clock::time_point Origin{1h};
    TAdapterBuffer Adapter{std::chrono::milliseconds(Latency)};
    std::vector<TTimed> Passed;
    const auto release = [&](std::chrono::steady_clock::time_point Now) {
        for (const TAdapterPacket& Packet : Adapter.Release(Now))
            Passed.push_back({static_cast<int>((Now - Origin) / 1ms), Packet.Text});
    };
    for (const auto& [At, Text] : Given) {
        if (const auto Deadline = Adapter.Deadline(); Deadline && *Deadline <= Origin + At * 1ms)
            release(*Deadline);
        Adapter.Hold(Text, Origin + At * 1ms);
        release(Origin + At * 1ms);
    }
    if (const auto Deadline = Adapter.Deadline())
        release(*Deadline);
    return Passed;
}

TEST(simAdapter, passesOnFullPacketsAtOnceAndTheRestAfterTheLatency)
{
    const std::string Ack = "\r\n>O.K.\r\n";
    std::string Reply;
    for (int I = 0; I < 258; ++I)
        Reply.push_back(static_cast<char>('A' + I % 26));
    const auto part = [&](size_t From, size_t Count) { return Reply.substr(From, Count); };
    const std::vector<std::tuple<const char*, int, std::vector<TTimed>, std::vector<TTimed>>> Cases{
        {"an acknowledgement", 16, {{0, Ack}}, {{16, Ack}}},
        {"a read reply", 16, {{0, Reply}},
         {{0, part(0, 62)}, {0, part(62, 62)}, {0, part(124, 62)}, {0, part(186, 62)}, {16, part(248, 10)}}},
        {"timed from the first held", 16, {{0, "ab"}, {10, "cd"}, {15, "ef"}, {20, "gh"}}, {{16, "abcdef"}, {36, "gh"}}},
        {"filled before its time", 16, {{0, part(0, 40)}, {5, part(40, 30)}}, {{5, part(0, 62)}, {21, part(62, 8)}}},
        {"split ack, longer gap", 16, {{0, "\r\n>"}, {50, "O.K.\r\n"}}, {{16, "\r\n>"}, {66, "O.K.\r\n"}}},
        {"split ack, shorter gap", 100, {{0, "\r\n>"}, {50, "O.K.\r\n"}}, {{100, Ack}}},
        {"no adapter", 0, {{0, Reply}, {3, Ack}}, {{0, Reply}, {3, Ack}}},
    };
    for (const auto& [Name, Latency, Given, Passed] : Cases)
        EXPECT_EQ(passedOn(Latency, Given), Passed) << Name;
}
