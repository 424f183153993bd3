// A set of enumeration values stored as bits: element n is bit n, as the toolkit stores sets.
#pragma once

#include <initializer_list>
#include <type_traits>

template <class E, class Bits>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Values)
    {
        for (E Value : Values)
            FBits |= Bit(Value);
    }
    static constexpr TSet FromBits(Bits Value)
    {
        TSet Result;
        Result.FBits = Value;
        return Result;
    }

    constexpr bool Contains(E Value) const { return (FBits & Bit(Value)) != 0; }
    constexpr Bits ToBits() const { return FBits; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr Bits Bit(E Value)
    {
        return static_cast<Bits>(Bits{1} << static_cast<std::underlying_type_t<E>>(Value));
    }
    Bits FBits = 0;
};
