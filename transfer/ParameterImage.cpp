#include "ParameterImage.h"

#include "Defs.h"
#include "Ini.h"

#include <algorithm>

namespace {

constexpr const char* Section = "Default";

constexpr size_t DiscountAt = 37, SurchargeAt = 39, FlagsAt = 41, HeaderAt = 45, TailAt = 205,
                 BarcodeTypeAt = 269, PrintSpeedAt = 279, PasswordAt = 404, ClerkNameAt = 412,
                 VatAt = 453;
constexpr size_t LineWidth = 32, ClerkNameWidth = 10;
constexpr uint16_t TaxFreeMark = 10000;

void Put16(ParameterImage& image, size_t offset, uint64_t value) {
    image[offset] = uint8_t((value >> 8) & 0xFF);
    image[offset + 1] = uint8_t(value & 0xFF);
}

uint16_t Get16(const ParameterImage& image, size_t offset) {
    return uint16_t(image[offset] << 8 | image[offset + 1]);
}

std::string Numbered(const char* key, int n) {
    return key + std::to_string(n);
}

uint16_t RateValue(std::string_view text) {
    return uint16_t(uint64_t(ScaleDecimalText(text, 2)));
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && uint8_t(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && uint8_t(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string ZeroRateText() {
    return std::string("00") + DecimalSeparator() + "00";
}

std::string FlagKey(int byte, int bit) {
    return std::string("Flag") + char('0' + byte) + char('0' + bit);
}

ParameterSet ParameterSet::Defaults() {
    ParameterSet p;
    p.discountRate = ZeroRateText();
    p.surchargeRate = ZeroRateText();
    p.vatRates.fill(ZeroRateText());
    return p;
}

ParameterSet ReadParameterSet(const IniFile& ini) {
    ParameterSet p;
    const std::string zero = ZeroRateText();
    p.discountRate = ini.ReadString(Section, "-% rate", zero);
    p.surchargeRate = ini.ReadString(Section, "+% rate", zero);
    for (int f = 0; f < FlagBits; ++f)
        p.flags[size_t(f)] = ini.ReadBool(Section, FlagKey(f / 8, f % 8), false);
    for (int n = 0; n < HeaderLines; ++n)
        p.headers[size_t(n)] = ini.ReadString(Section, Numbered("Header", n + 1), "");
    for (int n = 0; n < TailLines; ++n)
        p.tails[size_t(n)] = ini.ReadString(Section, Numbered("Tail", n + 1), "");
    for (int n = 0; n < BarcodeTypes; ++n)
        p.barcodeTypes[size_t(n)] = ini.ReadInteger(Section, Numbered("BCode", n + 1), 0);
    p.printSpeed = ini.ReadInteger(Section, "Print Speed", 1);
    for (int n = 0; n < Clerks; ++n) {
        p.clerkPasswords[size_t(n)] = ini.ReadString(Section, Numbered("ClerkPWD", n + 1), "");
        p.clerkNames[size_t(n)] = ini.ReadString(Section, Numbered("ClerkName", n + 1), "");
    }
    for (int n = 0; n < VatRates; ++n)
        p.vatRates[size_t(n)] = ini.ReadString(Section, Numbered("VAT", n + 1), zero);
    p.taxFree = ini.ReadInteger(Section, "Tax-free", 8);
    return p;
}

void WriteParameterSet(IniFile& ini, const ParameterSet& p) {
    ini.WriteString(Section, "-% rate", p.discountRate);
    ini.WriteString(Section, "+% rate", p.surchargeRate);
    for (int f = 0; f < FlagBits; ++f)
        ini.WriteBool(Section, FlagKey(f / 8, f % 8), p.flags[size_t(f)]);
    for (int n = 0; n < HeaderLines; ++n)
        ini.WriteString(Section, Numbered("Header", n + 1), p.headers[size_t(n)]);
    for (int n = 0; n < TailLines; ++n)
        ini.WriteString(Section, Numbered("Tail", n + 1), p.tails[size_t(n)]);
    for (int n = 0; n < BarcodeTypes; ++n)
        ini.WriteInteger(Section, Numbered("BCode", n + 1), p.barcodeTypes[size_t(n)]);
    ini.WriteInteger(Section, "Print Speed", p.printSpeed);
    for (int n = 0; n < Clerks; ++n)
        ini.WriteString(Section, Numbered("ClerkPWD", n + 1), p.clerkPasswords[size_t(n)]);
    for (int n = 0; n < Clerks; ++n)
        ini.WriteString(Section, Numbered("ClerkName", n + 1), p.clerkNames[size_t(n)]);
    for (int n = 0; n < VatRates; ++n)
        ini.WriteString(Section, Numbered("VAT", n + 1), p.vatRates[size_t(n)]);
    ini.WriteInteger(Section, "Tax-free", p.taxFree);
}

ParameterImage EncodeParameterImage(const ParameterSet& p) {
    ParameterImage image{};
    Put16(image, DiscountAt, RateValue(p.discountRate));
    Put16(image, SurchargeAt, RateValue(p.surchargeRate));
    for (int f = 0; f < FlagBits; ++f) {
        if (p.flags[size_t(f)])
            image[FlagsAt + size_t(f / 8)] |= uint8_t(1u << (f % 8));
    }
    for (size_t n = 0; n < HeaderLines; ++n)
        PutTextField(std::span(image).subspan(HeaderAt + n * LineWidth, LineWidth), p.headers[n]);
    for (size_t n = 0; n < TailLines; ++n)
        PutTextField(std::span(image).subspan(TailAt + n * LineWidth, LineWidth), p.tails[n]);
    for (size_t n = 0; n < BarcodeTypes; ++n)
        image[BarcodeTypeAt + n] = uint8_t(unsigned(p.barcodeTypes[n]));
    image[PrintSpeedAt] = uint8_t(unsigned(p.printSpeed));
    for (size_t n = 0; n < Clerks; ++n) {
        Put16(image, PasswordAt + 2 * n,
              uint64_t(IntegerTextValue(TrimBlanks(p.clerkPasswords[n]))));
        PutTextField(std::span(image).subspan(ClerkNameAt + n * ClerkNameWidth, ClerkNameWidth),
                     p.clerkNames[n]);
    }
    for (int n = 0; n < VatRates; ++n) {
        const bool taxFree = n == p.taxFree;
        Put16(image, VatAt + 2 * size_t(n),
              taxFree ? TaxFreeMark : RateValue(p.vatRates[size_t(n)]));
    }
    return image;
}

void DecodeParameterImage(const ParameterImage& image, ParameterSet& p) {
    p.discountRate = RateText(Get16(image, DiscountAt));
    p.surchargeRate = RateText(Get16(image, SurchargeAt));
    for (int f = 0; f < FlagBits; ++f)
        p.flags[size_t(f)] = (image[FlagsAt + size_t(f / 8)] >> (f % 8) & 1) != 0;
    for (size_t n = 0; n < HeaderLines; ++n)
        p.headers[n] = GetTextField(std::span(image).subspan(HeaderAt + n * LineWidth, LineWidth));
    for (size_t n = 0; n < TailLines; ++n)
        p.tails[n] = GetTextField(std::span(image).subspan(TailAt + n * LineWidth, LineWidth));
    for (size_t n = 0; n < BarcodeTypes; ++n)
        p.barcodeTypes[n] = image[BarcodeTypeAt + n];
    p.printSpeed = image[PrintSpeedAt];
    for (size_t n = 0; n < Clerks; ++n) {
        p.clerkPasswords[n] = std::to_string(Get16(image, PasswordAt + 2 * n));
        p.clerkNames[n] = GetTextField(
            std::span(image).subspan(ClerkNameAt + n * ClerkNameWidth, ClerkNameWidth));
    }
    for (int n = 0; n < VatRates; ++n) {
        const uint16_t rate = Get16(image, VatAt + 2 * size_t(n));
        if (rate == TaxFreeMark)
            p.taxFree = n;
        else
            p.vatRates[size_t(n)] = RateText(rate);
    }
}

std::span<const uint8_t, BlockSize> ParameterBlock(const ParameterImage& image, int k) {
    return std::span(image).subspan(size_t(k) * BlockSize).first<BlockSize>();
}

std::span<uint8_t, BlockSize> ParameterBlock(ParameterImage& image, int k) {
    return std::span(image).subspan(size_t(k) * BlockSize).first<BlockSize>();
}

ParameterImage ParameterImageFromFile(const std::string& path) {
    return EncodeParameterImage(ReadParameterSet(IniFile(path)));
}

bool StoreParameterImage(const std::string& path, const ParameterImage& image) {
    IniFile ini(path);
    ParameterSet parameters = ReadParameterSet(ini);
    DecodeParameterImage(image, parameters);
    WriteParameterSet(ini, parameters);
    return ini.Save();
}
