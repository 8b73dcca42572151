#pragma once
// The register's parameters: the [Default] keys of SYSTEM.CFG as a plain set of values, and the
// 512-byte parameter image (commands 1 and 5) built from them and read back into them.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "RecordLayouts.h"

class IniFile;

inline constexpr int ParameterImageSize = 2 * BlockSize;
using ParameterImage = std::array<uint8_t, ParameterImageSize>;

inline constexpr int HeaderLines = 5;
inline constexpr int TailLines = 2;
inline constexpr int BarcodeTypes = 10;
inline constexpr int Clerks = 4;
inline constexpr int VatRates = 9;
inline constexpr int FlagBits = 32;
inline constexpr int TaxFreeNone = -1; // what the parameter editor stores without a choice

// "00" + the decimal separator + "00": a rate key that is missing.
std::string ZeroRateText();

// The values of the [Default] keys, as stored (texts stay texts).
struct ParameterSet {
    std::string discountRate;  // "-% rate"
    std::string surchargeRate; // "+% rate"
    // "Flag" + n + i is flags[8 * n + i]: bit i of option byte n.
    std::array<bool, FlagBits> flags{};
    std::array<std::string, HeaderLines> headers;   // "Header1" to "Header5"
    std::array<std::string, TailLines> tails;       // "Tail1", "Tail2"
    std::array<int, BarcodeTypes> barcodeTypes{};   // "BCode1" to "BCode10"
    int printSpeed = 1;                             // "Print Speed"
    std::array<std::string, Clerks> clerkPasswords; // "ClerkPWD1" to "ClerkPWD4"
    std::array<std::string, Clerks> clerkNames;     // "ClerkName1" to "ClerkName4"
    std::array<std::string, VatRates> vatRates;     // "VAT1" to "VAT9"
    int taxFree = 8; // "Tax-free": 0-based VAT slot sent as tax-free, outside 0 to 8 none

    // All keys missing.
    static ParameterSet Defaults();
};

std::string FlagKey(int byte, int bit);

ParameterSet ReadParameterSet(const IniFile& ini);
// Writes every key in the order the upload stores them: rates, the 32 flags, header and tail
// lines, barcode types, print speed, clerk passwords, clerk names, VAT rates and "Tax-free".
void WriteParameterSet(IniFile& ini, const ParameterSet& parameters);

ParameterImage EncodeParameterImage(const ParameterSet& parameters);
// Overwrites the values the image carries. "Tax-free" changes only when a slot holds the
// tax-free mark, and the VAT text of that slot is kept: the mark is no rate.
void DecodeParameterImage(const ParameterImage& image, ParameterSet& parameters);

std::span<const uint8_t, BlockSize> ParameterBlock(const ParameterImage& image, int k);
std::span<uint8_t, BlockSize> ParameterBlock(ParameterImage& image, int k);

// Open SYSTEM.CFG (or another INI file), build the image from [Default], release the file.
ParameterImage ParameterImageFromFile(const std::string& path);
// Merge the image into the file's [Default] keys and save it once. False when it could not be
// written.
bool StoreParameterImage(const std::string& path, const ParameterImage& image);
