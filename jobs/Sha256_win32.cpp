// SHA-256 through CNG's BCrypt hash functions.
#include "ImageFile.h"

#include <windows.h>

#include <bcrypt.h>

struct TSha256::TState {
    BCRYPT_ALG_HANDLE Algorithm = nullptr;
    BCRYPT_HASH_HANDLE Hash = nullptr;
    TState()
    {
        if (BCryptOpenAlgorithmProvider(&Algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) >= 0)
            BCryptCreateHash(Algorithm, &Hash, nullptr, 0, nullptr, 0, 0);
    }
    ~TState()
    {
        if (Hash)
            BCryptDestroyHash(Hash);
        if (Algorithm)
            BCryptCloseAlgorithmProvider(Algorithm, 0);
    }
};

TSha256::TSha256() : FState(std::make_unique<TState>()) {}

TSha256::~TSha256() = default;

bool TSha256::Add(const void* Bytes, size_t Count)
{
    return FState->Hash
           && BCryptHashData(FState->Hash, static_cast<PUCHAR>(const_cast<void*>(Bytes)), static_cast<ULONG>(Count), 0)
                  >= 0;
}

std::optional<std::array<uint8_t, 32>> TSha256::Finish()
{
    std::array<uint8_t, 32> Digest{};
    if (!FState->Hash || BCryptFinishHash(FState->Hash, Digest.data(), static_cast<ULONG>(Digest.size()), 0) < 0)
        return std::nullopt;
    return Digest;
}
