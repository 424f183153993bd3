// SHA-256 through libcrypto's EVP interface.
#include "ImageFile.h"

#include <openssl/evp.h>

struct TSha256::TState {
    EVP_MD_CTX* Context = EVP_MD_CTX_new();
    bool Ready = Context && EVP_DigestInit_ex(Context, EVP_sha256(), nullptr) == 1;
    ~TState() { EVP_MD_CTX_free(Context); }
};

TSha256::TSha256() : FState(std::make_unique<TState>()) {}

TSha256::~TSha256() = default;

bool TSha256::Add(const void* Bytes, size_t Count)
{
    return FState->Ready && EVP_DigestUpdate(FState->Context, Bytes, Count) == 1;
}

std::optional<std::array<uint8_t, 32>> TSha256::Finish()
{
    std::array<uint8_t, 32> Digest{};
    unsigned Length = 0;
    if (!FState->Ready || EVP_DigestFinal_ex(FState->Context, Digest.data(), &Length) != 1 || Length != Digest.size())
        return std::nullopt;
    return Digest;
}
