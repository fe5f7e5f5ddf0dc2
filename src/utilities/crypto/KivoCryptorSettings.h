#pragma once

#include <QtGlobal>

#include <cstdint>

// How one key is derived from the password.
struct KivoCryptorKeyDerivationSettings {
    uint64_t keySize;
    uint64_t saltSize;
    uint32_t derivationAlgorithm;
    uint32_t pseudoRandomFunction;
    uint32_t rounds;
};

// Everything that describes a container of one version: cipher, HMAC and key derivation.
struct KivoCryptorSettings {
    uint32_t cipherAlgorithm;
    uint64_t blockSize;
    uint64_t IVSize;
    uint32_t cipherOptions;
    uint32_t HMACAlgorithm;
    uint64_t HMACLength;
    KivoCryptorKeyDerivationSettings encryptionKeyDerivation;
    KivoCryptorKeyDerivationSettings HMACKeyDerivation;
};

// Identifiers of the primitives, numbered as the stored settings have always named them.
inline constexpr uint32_t KivoCryptorAlgorithmAES = 0;
inline constexpr uint32_t KivoCryptorOptionPKCS7Padding = 1;
inline constexpr uint32_t KivoCryptorOptionECBMode = 2;
inline constexpr uint32_t KivoCryptorHMACAlgorithmSHA256 = 2;
inline constexpr uint32_t KivoCryptorDerivationPBKDF2 = 2;
inline constexpr uint32_t KivoCryptorPRFHmacSHA1 = 1;

// The settings of version 1, the only version there is.
inline constexpr KivoCryptorSettings KivoCryptorAES256Settings = {
    KivoCryptorAlgorithmAES,
    16,
    16,
    KivoCryptorOptionPKCS7Padding,
    KivoCryptorHMACAlgorithmSHA256,
    32,
    { 32, 8, KivoCryptorDerivationPBKDF2, KivoCryptorPRFHmacSHA1, 10000 },
    { 32, 8, KivoCryptorDerivationPBKDF2, KivoCryptorPRFHmacSHA1, 10000 },
};

// Errors of the container: these two codes, or a cipher status as the code.
inline constexpr char KivoCryptorErrorDomain[] = "net.solvane.KivoCryptManager";
enum KivoCryptorErrorCode : qint64 {
    KivoCryptorHMACMismatch = 1,
    KivoCryptorUnknownHeader = 2,
};
inline constexpr char KivoCryptorHMACMismatchDescription[] = "HMAC Mismatch";
inline constexpr char KivoCryptorUnknownHeaderDescription[] = "Unknown header";
