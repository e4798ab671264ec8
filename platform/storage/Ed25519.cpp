#include "Ed25519.h"

#include <memory>

#include <openssl/evp.h>
#include <openssl/rand.h>

namespace BPrivate {

namespace Ed25519 {

namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextFree {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using Context = std::unique_ptr<EVP_MD_CTX, ContextFree>;

const unsigned char* Bytes(const std::string& text)
{
    return reinterpret_cast<const unsigned char*>(text.data());
}

Key PrivateKey(const std::string& seed)
{
    if (seed.size() != kSeedSize)
        return Key();
    return Key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, Bytes(seed), seed.size()));
}

} // namespace

status_t NewSeed(std::string* seed)
{
    unsigned char bytes[kSeedSize];
    if (RAND_bytes(bytes, int(sizeof bytes)) != 1)
        return B_ERROR;
    seed->assign(reinterpret_cast<const char*>(bytes), sizeof bytes);
    return B_OK;
}

std::string PublicKeyOf(const std::string& seed)
{
    Key key = PrivateKey(seed);
    unsigned char bytes[kPublicKeySize];
    size_t length = sizeof bytes;
    if (!key || EVP_PKEY_get_raw_public_key(key.get(), bytes, &length) != 1
        || length != kPublicKeySize)
        return std::string();
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

std::string Sign(const std::string& seed, const std::string& message)
{
    Key key = PrivateKey(seed);
    Context context(EVP_MD_CTX_new());
    unsigned char bytes[kSignatureSize];
    size_t length = sizeof bytes;
    if (!key || !context
        || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1
        || EVP_DigestSign(context.get(), bytes, &length, Bytes(message), message.size()) != 1
        || length != kSignatureSize)
        return std::string();
    return std::string(reinterpret_cast<const char*>(bytes), length);
}

bool Verify(const std::string& publicKey, const std::string& message, const std::string& signature)
{
    if (publicKey.size() != kPublicKeySize || signature.size() != kSignatureSize)
        return false;
    Key key(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, Bytes(publicKey), publicKey.size()));
    Context context(EVP_MD_CTX_new());
    return key && context
        && EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) == 1
        && EVP_DigestVerify(
               context.get(), Bytes(signature), signature.size(), Bytes(message), message.size())
        == 1;
}

} // namespace Ed25519

} // namespace BPrivate
